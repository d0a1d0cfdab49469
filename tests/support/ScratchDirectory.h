#pragma once

#include "ItemFileImage.h"

#include <string>
#include <vector>

namespace relicwright::testing {

// A fresh directory for one test, removed with everything in it afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string path(const std::string& name) const;
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::string write(const std::string& name, const ItemFileImage& image) const;
    // The file's bytes; empty when it does not exist.
    std::vector<std::uint8_t> read(const std::string& name) const;
    // Every name in the directory, hidden ones included, sorted.
    std::vector<std::string> names() const;

private:
    std::string root_;
};

// A standard image with the given code and quality, its record a pattern of the seed (.hif: a tail).
ItemFileImage sampleImage(GameVariant variant, std::uint8_t code, std::uint8_t quality = 1, std::uint8_t seed = 7);

std::vector<std::uint8_t> bytesOf(const ItemFileImage& image);

} // namespace relicwright::testing
