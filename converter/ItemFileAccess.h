#pragma once

#include "itemdata/ItemFileIo.h"

#include <string>

namespace relicwright {

// How the workflow reads and writes item files. The real one goes straight to the item file
// functions; tests and fault drills substitute one whose steps fail on demand.
class ItemFileAccess {
public:
    virtual ~ItemFileAccess() = default;
    virtual void read(const std::string& path, ItemFileImage& image) = 0;
    virtual void write(const std::string& path, const ItemFileImage& image) = 0;
};

// Item file access through any set of file steps (see PosixFileSteps).
template <class Steps> class StepsItemFileAccess final : public ItemFileAccess {
public:
    explicit StepsItemFileAccess(Steps steps = Steps()) : steps_(std::move(steps)) {}
    void read(const std::string& path, ItemFileImage& image) override {
        readItemFileWith(steps_, path, image);
    }
    void write(const std::string& path, const ItemFileImage& image) override {
        writeItemFileWith(steps_, path, image);
    }
    Steps& steps() { return steps_; }

private:
    Steps steps_;
};

using PosixItemFileAccess = StepsItemFileAccess<PosixFileSteps>;

} // namespace relicwright
