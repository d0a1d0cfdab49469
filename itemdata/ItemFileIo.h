#pragma once

#include "FileError.h"
#include "ItemFileImage.h"
#include "PosixFileSteps.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace relicwright {

// Reads the first 400 bytes of the file into the image. A shorter file leaves the rest of the image
// zero, never bytes of an earlier file. The image is only replaced once the whole read succeeded.
// Returns the file's size, as the opened file reported it.
std::uint64_t readItemFile(const std::string& path, ItemFileImage& image);

// Replaces (or creates) the file with the 400 bytes of the image. The bytes go to a temporary file
// in the same directory that is renamed over the target, so a failure never leaves a partial file
// and an existing target keeps its old bytes.
// Whether a save may replace a file that exists at its path.
enum class ExistingFile { Replace, Keep };

// With ExistingFile::Keep an existing file is refused (AccessDenied, EEXIST), also one that another
// program creates while the save is under way.
void writeItemFile(const std::string& path, const ItemFileImage& image,
                   ExistingFile existingFile = ExistingFile::Replace);

namespace detail {

[[noreturn]] inline void raise(int errorNumber, std::string path) {
    throw FileError(causeFromErrno(errorNumber), errorNumber, std::move(path));
}

// Follows symbolic links to the file a save should replace, even when that file does not exist yet.
// A chain that does not end (a loop) is left to the open, which reports it.
std::string resolveSaveTarget(const std::string& path);
std::string directoryOf(const std::string& path);
std::string fileNameOf(const std::string& path);
// The target's full path as the system resolves it, for messages about an opened file.
std::string resolvedFullPath(const std::string& target);
std::string temporaryNameIn(const std::string& directory);

} // namespace detail

template <class Steps>
std::uint64_t readItemFileWith(Steps& steps, const std::string& path, ItemFileImage& image) {
    // Non-blocking, so that a FIFO or device named like an item file cannot stall the open.
    const int fd = steps.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        detail::raise(errno, path);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
        steps.close(fd);
        throw FileError(FileErrorCause::AccessDenied, code, path);
    }
    if (steps.lock(fd) != 0) {
        const int code = errno;
        steps.close(fd);
        detail::raise(code, path);
    }
    ItemFileImage buffer{};
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = steps.read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0) {
            const int code = errno;
            if (code == EINTR) {
                continue;
            }
            if (code == 0) {
                break;
            }
            steps.close(fd);
            detail::raise(code, std::string());
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    errno = 0;
    if (steps.close(fd) != 0 && errno != 0) {
        detail::raise(errno, std::string());
    }
    image = buffer;
    return static_cast<std::uint64_t>(info.st_size);
}

template <class Steps>
void writeItemFileWith(Steps& steps, const std::string& path, const ItemFileImage& image,
                       ExistingFile existingFile = ExistingFile::Replace) {
    const std::string target = detail::resolveSaveTarget(path);

    // Open an existing target first: it must be a writable regular file, and it stays locked until
    // the new bytes have replaced it so that no other program is working on it meanwhile.
    // Anything but a regular file is refused before it is opened: opening a FIFO or a device for
    // writing can fail for reasons of its own, or have effects.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && existingFile == ExistingFile::Keep) {
        throw FileError(FileErrorCause::AccessDenied, EEXIST, path);
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        throw FileError(FileErrorCause::AccessDenied, S_ISDIR(existing.st_mode) ? EISDIR : EACCES, path);
    }
    int existingFd = steps.open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (existingFd < 0) {
        if (errno != ENOENT) {
            detail::raise(errno, path);
        }
    } else {
        int refusal = 0;
        if (::fstat(existingFd, &existing) != 0) {
            refusal = errno;
        } else if (!S_ISREG(existing.st_mode)) {
            refusal = S_ISDIR(existing.st_mode) ? EISDIR : EACCES;
        } else if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            // A read-only file is refused even for root, who could otherwise write it.
            refusal = EACCES;
        } else if (steps.lock(existingFd) != 0) {
            refusal = errno;
        }
        if (refusal != 0) {
            steps.close(existingFd);
            detail::raise(refusal, path);
        }
    }

    const std::string directory = detail::directoryOf(target);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = detail::temporaryNameIn(directory);
        fd = steps.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                        existingFd >= 0 ? S_IRUSR | S_IWUSR : 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100)) {
            const int code = errno;
            if (existingFd >= 0) {
                steps.close(existingFd);
            }
            detail::raise(code, path);
        }
    }

    const std::string fullPath = detail::resolvedFullPath(target);
    auto fail = [&](int code, std::string errorPath, bool temporaryOpen) {
        if (temporaryOpen) {
            steps.close(fd);
        }
        steps.unlink(temporary.c_str());
        if (existingFd >= 0) {
            steps.close(existingFd);
        }
        if (code == kShortWriteCode) {
            throw FileError(FileErrorCause::DiskFull, kShortWriteCode, std::move(errorPath));
        }
        detail::raise(code, std::move(errorPath));
    };

    if (existingFd >= 0) {
        // Keep the replaced file's permissions; the owner is kept where we are allowed to.
        if (::fchmod(fd, existing.st_mode & 07777) != 0) {
            fail(errno, fullPath, true);
        }
        [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
    }

    ssize_t written;
    do {
        errno = 0;
        written = steps.write(fd, image.data(), image.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0 && errno != 0) {
        fail(errno, fullPath, true);
    }
    if (written < static_cast<ssize_t>(image.size())) {
        fail(kShortWriteCode, fullPath, true);
    }
    errno = 0;
    if (steps.flush(fd) != 0 && errno != 0) {
        fail(errno, fullPath, true);
    }
    errno = 0;
    if (steps.close(fd) != 0 && errno != 0) {
        fail(errno, std::string(), false);
    }
    const int renamed = existingFile == ExistingFile::Keep
                            ? steps.renameNoReplace(temporary.c_str(), target.c_str())
                            : steps.rename(temporary.c_str(), target.c_str());
    if (renamed != 0) {
        fail(errno, fullPath, false);
    }
    if (existingFd >= 0) {
        steps.close(existingFd);
    }
}

} // namespace relicwright
