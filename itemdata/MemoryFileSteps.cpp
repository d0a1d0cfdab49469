#include "MemoryFileSteps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace relicwright {

void MemoryFileSteps::put(const std::string& path, Bytes bytes) {
    const std::lock_guard lock(mutex_);
    files_[path] = std::move(bytes);
}

void MemoryFileSteps::refuse(const std::string& path, int errorNumber) {
    const std::lock_guard lock(mutex_);
    refused_[path] = errorNumber;
}

const MemoryFileSteps::Bytes* MemoryFileSteps::stored(const std::string& path) const {
    const auto found = files_.find(path);
    return found == files_.end() ? nullptr : &found->second;
}

const MemoryFileSteps::Bytes* MemoryFileSteps::find(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    return stored(path);
}

std::size_t MemoryFileSteps::openHandles() const {
    const std::lock_guard lock(mutex_);
    return open_.size();
}

void MemoryFileSteps::clear() {
    const std::lock_guard lock(mutex_);
    files_.clear();
    refused_.clear();
    open_.clear();
}

FileErrorCause MemoryFileSteps::causeOf(int errorNumber) const {
    return causeFromErrno(errorNumber);
}

int MemoryFileSteps::refusal(const std::string& path) const {
    const auto found = refused_.find(path);
    return found == refused_.end() ? 0 : found->second;
}

MemoryFileSteps::OpenFile* MemoryFileSteps::openFile(FileHandle file) {
    const auto found = open_.find(file);
    return found == open_.end() ? nullptr : &found->second;
}

int MemoryFileSteps::openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) {
    const std::lock_guard lock(mutex_);
    if (const int error = refusal(path)) {
        return error;
    }
    const Bytes* bytes = stored(path);
    if (bytes == nullptr) {
        return path.empty() ? EINVAL : ENOENT;
    }
    file = nextHandle_++;
    open_[file] = OpenFile{*bytes, 0};
    size = bytes->size();
    return 0;
}

int MemoryFileSteps::read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) {
    const std::lock_guard lock(mutex_);
    got = 0;
    OpenFile* open = openFile(file);
    if (open == nullptr) {
        return EBADF;
    }
    got = std::min(size, open->bytes.size() - open->position);
    if (got > 0) {
        std::memcpy(buffer, open->bytes.data() + open->position, got);
    }
    open->position += got;
    return 0;
}

int MemoryFileSteps::close(FileHandle file) {
    const std::lock_guard lock(mutex_);
    return open_.erase(file) ? 0 : EBADF;
}

int MemoryFileSteps::exists(const std::string& path, bool& found) {
    const std::lock_guard lock(mutex_);
    found = stored(path) != nullptr;
    return 0;
}

int MemoryFileSteps::claimTarget(const std::string& target, bool mayReplace, FileHandle& held) {
    const std::lock_guard lock(mutex_);
    held = kNoFileHandle;
    if (target.empty()) {
        return ENOENT;
    }
    if (const int error = refusal(target)) {
        return error;
    }
    return stored(target) != nullptr && !mayReplace ? EEXIST : 0;
}

int MemoryFileSteps::createTemporary(const std::string&, FileHandle, TemporaryFile& temporary) {
    const std::lock_guard lock(mutex_);
    // Unnamed until committed, so a failed save leaves nothing to see.
    temporary.handle = nextHandle_++;
    temporary.path.clear();
    open_[temporary.handle] = OpenFile{};
    return 0;
}

int MemoryFileSteps::write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) {
    const std::lock_guard lock(mutex_);
    written = 0;
    OpenFile* open = openFile(file);
    if (open == nullptr) {
        return EBADF;
    }
    open->bytes.insert(open->bytes.end(), data, data + size);
    written = size;
    return 0;
}

int MemoryFileSteps::flush(FileHandle file) {
    const std::lock_guard lock(mutex_);
    return openFile(file) == nullptr ? EBADF : 0;
}

int MemoryFileSteps::flushTogether(const std::vector<FileHandle>& files) {
    const std::lock_guard lock(mutex_);
    for (const FileHandle file : files) {
        if (openFile(file) == nullptr) {
            return EBADF;
        }
    }
    return 0;
}

int MemoryFileSteps::commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) {
    const std::lock_guard lock(mutex_);
    OpenFile* open = openFile(temporary.handle);
    if (open == nullptr) {
        return EBADF;
    }
    if (const int error = refusal(target)) {
        return error;
    }
    if (!mayReplace && stored(target) != nullptr) {
        return EEXIST;
    }
    files_[target] = std::move(open->bytes);
    open_.erase(temporary.handle);
    temporary.handle = kNoFileHandle;
    return 0;
}

void MemoryFileSteps::discard(TemporaryFile& temporary) {
    const std::lock_guard lock(mutex_);
    open_.erase(temporary.handle);
    temporary.handle = kNoFileHandle;
}

} // namespace relicwright
