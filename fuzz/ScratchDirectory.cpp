#include "ScratchDirectory.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace relicwright::fuzz {

namespace {

std::string baseDirectory(ScratchDirectory::Place place) {
    // A fuzzing run that may be cut off names its own place, so that nothing outlives it.
    if (const char* chosen = std::getenv("RELICWRIGHT_SCRATCH_DIR"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    if (place == ScratchDirectory::Place::PreferMemory && ::access("/dev/shm", W_OK | X_OK) == 0) {
        return "/dev/shm";
    }
    const char* base = std::getenv("TMPDIR");
    return base != nullptr && *base != '\0' ? base : "/tmp";
}

// Depth-first removal by hand: names may be any bytes, and a directory may have lost its permissions.
void removeInside(const std::string& directory) {
    ::chmod(directory.c_str(), S_IRWXU);
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    for (const auto& name : names) {
        const std::string path = directory + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            removeInside(path);
            ::rmdir(path.c_str());
        } else {
            ::unlink(path.c_str());
        }
    }
}

} // namespace

ScratchDirectory::ScratchDirectory(Place place) {
    std::string pattern = baseDirectory(place) + "/relicwright-scratch-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch directory: " + std::string(std::strerror(errno)));
    }
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    removeInside(path_);
    ::rmdir(path_.c_str());
}

void ScratchDirectory::clear() const {
    removeInside(path_);
}

std::vector<std::string> ScratchDirectory::names() const {
    std::vector<std::string> result;
    DIR* dir = ::opendir(path_.c_str());
    if (dir == nullptr) {
        return result;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            result.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end());
    return result;
}

void ScratchDirectory::writeBytes(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + path + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            throw std::runtime_error("cannot write " + path);
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::optional<Bytes> ScratchDirectory::readBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    Bytes bytes;
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

} // namespace relicwright::fuzz
