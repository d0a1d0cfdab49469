#include "ItemFileIo.h"

#include <climits>
#include <cstdio>
#include <random>

namespace relicwright {

std::uint64_t readItemFile(const std::string& path, ItemFileImage& image) {
    PosixFileSteps steps;
    return readItemFileWith(steps, path, image);
}

void writeItemFile(const std::string& path, const ItemFileImage& image, ExistingFile existingFile) {
    PosixFileSteps steps;
    writeItemFileWith(steps, path, image, existingFile);
}

namespace detail {

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string resolveSaveTarget(const std::string& path) {
    std::string current = path;
    // The system gives up on longer chains too; the open then reports the loop.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            return current;
        }
        link.resize(static_cast<std::size_t>(length));
        current = (!link.empty() && link.front() == '/') ? link : directoryOf(current) + "/" + link;
    }
    return path;
}

std::string resolvedFullPath(const std::string& target) {
    char buffer[PATH_MAX];
    if (::realpath(directoryOf(target).c_str(), buffer) == nullptr) {
        return target;
    }
    const std::string directory(buffer);
    return (directory == "/" ? directory : directory + "/") + fileNameOf(target);
}

std::string temporaryNameIn(const std::string& directory) {
    // Short and hidden, so it fits beside a target whose own name is as long as names may be.
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    char name[64];
    std::snprintf(name, sizeof name, "/.relicwright-%d-%08x-%u.tmp", static_cast<int>(::getpid()), seed,
                  counter.fetch_add(1));
    return directory + name;
}

} // namespace detail

} // namespace relicwright
