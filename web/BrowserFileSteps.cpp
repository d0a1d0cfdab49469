#include "BrowserFileSteps.h"

namespace relicwright::web {

void BrowserFileSteps::refuse(const std::string& path, int errorNumber) {
    refusedPath_ = path;
    refusal_ = errorNumber;
}

int BrowserFileSteps::openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) {
    if (refusal_ != 0 && path == refusedPath_) {
        return refusal_;
    }
    return memory_.openForReading(path, file, size);
}

} // namespace relicwright::web
