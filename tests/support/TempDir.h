#pragma once

#include "itemdata/ItemFileImage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace relicwright::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/relicwright-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        // Restore permissions a test may have taken away, so everything can be removed.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes sampleImage(variant, code, seed) as the named file and returns its path.
    std::string itemFile(const std::string& name, GameVariant variant, std::uint8_t code,
                         std::uint8_t seed = 1) const;

    // Names of everything in the directory, sorted.
    std::vector<std::string> entries() const { return entriesOf(path_); }
    static std::vector<std::string> entriesOf(const std::string& directory) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> toBytes(const ItemFileImage& image) {
    return {image.begin(), image.end()};
}

// A recognisable image: every byte differs from its neighbours, the header is the variant's own and
// the code byte holds the given code.
inline ItemFileImage sampleImage(GameVariant variant, std::uint8_t code, std::uint8_t seed = 1) {
    ItemFileImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    }
    const std::string_view header = headerText(variant);
    for (std::size_t i = 0; i < headerSize(variant); ++i) {
        image[i] = i < header.size() ? static_cast<std::uint8_t>(header[i]) : 0;
    }
    image[codeOffset(variant)] = code;
    return image;
}

inline std::string TempDir::itemFile(const std::string& name, GameVariant variant, std::uint8_t code,
                                     std::uint8_t seed) const {
    const std::string target = file(name);
    writeBytes(target, toBytes(sampleImage(variant, code, seed)));
    return target;
}

} // namespace relicwright::testing
