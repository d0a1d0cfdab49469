#include "FileSteps.h"
#include "PathText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

namespace relicwright {

namespace {

int fd(FileHandle handle) {
    return static_cast<int>(handle);
}

// errno after a failed call; a failure that reports no error number counts as done.
int lastError() {
    return errno;
}

// A read or write, repeated when a signal interrupts it; `moved` is how many bytes it moved.
template <class Call> int transfer(Call call, std::size_t& moved) {
    ssize_t n;
    do {
        errno = 0;
        n = call();
    } while (n < 0 && errno == EINTR);
    moved = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? lastError() : 0;
}

std::string directoryOf(const std::string& path) {
    const std::size_t start = fileNameStart(path);
    if (start == 0) {
        return ".";
    }
    return start == 1 ? "/" : path.substr(0, start - 1);
}

std::string temporaryNameIn(const std::string& directory) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    return directory + "/" + temporaryFileName(static_cast<unsigned>(::getpid()), seed, counter.fetch_add(1));
}

// A replacing save must name its file before renaming it over the target, and a named temporary
// file carries its name throughout; killed (or cut off by a power failure) in between, a save
// leaves the name behind. Every save holds a lock on its file until the rename, so a temporary
// file that nobody holds is left over, and the first save of this process into the directory
// removes it; only a file of this program's own naming, never a user's that looks alike.
void removeLeftovers(const std::string& directory) {
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(directory).second) {
            return;
        }
    }
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN) {
            continue;
        }
        if (!isTemporaryFileName(entry->d_name)) {
            continue;
        }
        const int handle = ::openat(::dirfd(listing), entry->d_name,
                                    O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (handle < 0) {
            continue;
        }
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
        ::close(handle);
    }
    ::closedir(listing);
}

bool kernelAtLeast(int major, int minor) {
    utsname system {};
    int hasMajor = 0;
    int hasMinor = 0;
    return ::uname(&system) == 0 && std::sscanf(system.release, "%d.%d", &hasMajor, &hasMinor) == 2 &&
           (hasMajor > major || (hasMajor == major && hasMinor >= minor));
}

// Gives the file a name in the directory that nothing else uses yet.
int createNamed(const std::string& directory, mode_t mode, TemporaryFile& temporary) {
    for (int attempt = 0;; ++attempt) {
        std::string name = temporaryNameIn(directory);
        const int handle = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (handle >= 0) {
            temporary = {handle, std::move(name)};
            return 0;
        }
        if (errno != EEXIST || attempt == 100) {
            return lastError();
        }
    }
}

// Fails with EEXIST when `to` exists, even if another program created it a moment ago.
int renameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return lastError();
    }
    // A file system without the flag: a hard link is just as exclusive.
    if (::link(from, to) != 0) {
        return lastError();
    }
    ::unlink(from);
    return 0;
}

// The plain system calls, with flock for exclusive use. An unnamed temporary file (O_TMPFILE) is
// only given a name once it is complete, so a process killed while saving leaves nothing behind.
class PosixFileSteps final : public FileSteps {
public:
    FileErrorCause causeOf(int errorNumber) const override { return causeFromErrno(errorNumber); }

    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override {
        // Non-blocking, so that a FIFO or device named like an item file cannot stall the open.
        const int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (handle < 0) {
            return lastError();
        }
        struct stat info {};
        int refusal = 0;
        if (::fstat(handle, &info) != 0) {
            refusal = lastError();
        } else if (!S_ISREG(info.st_mode)) {
            refusal = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
        } else if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            refusal = lastError();
        }
        if (refusal != 0) {
            ::close(handle);
            return refusal;
        }
        file = handle;
        size = static_cast<std::uint64_t>(info.st_size);
        return 0;
    }

    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override {
        return transfer([&] { return ::read(fd(file), buffer, size); }, got);
    }

    int close(FileHandle file) override {
        errno = 0;
        return ::close(fd(file)) != 0 ? lastError() : 0;
    }

    int exists(const std::string& path, bool& found) override {
        struct stat info {};
        found = ::lstat(path.c_str(), &info) == 0;
        return found || errno == ENOENT || errno == ENOTDIR ? 0 : lastError();
    }

    std::string saveTarget(const std::string& path) override {
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

    std::string fullPath(const std::string& target) override {
        char buffer[PATH_MAX];
        if (::realpath(directoryOf(target).c_str(), buffer) == nullptr) {
            return target;
        }
        const std::string directory(buffer);
        return (directory == "/" ? directory : directory + "/") + target.substr(fileNameStart(target));
    }

    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override {
        // Anything but a regular file is refused before it is opened: opening a FIFO or a device
        // for writing can fail for reasons of its own, or have effects.
        struct stat existing {};
        if (::stat(target.c_str(), &existing) != 0) {
            return 0;
        }
        if (!mayReplace) {
            return EEXIST;
        }
        if (!S_ISREG(existing.st_mode)) {
            return S_ISDIR(existing.st_mode) ? EISDIR : EACCES;
        }
        const int handle = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (handle < 0) {
            return errno == ENOENT ? 0 : lastError();
        }
        int refusal = 0;
        if (::fstat(handle, &existing) != 0) {
            refusal = lastError();
        } else if (!S_ISREG(existing.st_mode)) {
            refusal = S_ISDIR(existing.st_mode) ? EISDIR : EACCES;
        } else if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            // A read-only file is refused even for root, who could otherwise write it.
            refusal = EACCES;
        } else if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            refusal = lastError();
        }
        if (refusal != 0) {
            ::close(handle);
            return refusal;
        }
        held = handle;
        return 0;
    }

    int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) override {
        const std::string directory = directoryOf(target);
        removeLeftovers(directory);
        const mode_t mode = held != kNoFileHandle ? S_IRUSR | S_IWUSR : 0666;
        // The unnamed file is named through /proc, which a chroot may lack.
        static const bool canName = ::access("/proc/self/fd", F_OK) == 0;
        const int unnamed = canName ? ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode) : -1;
        if (unnamed >= 0) {
            temporary = {unnamed, std::string()};
        } else if (canName && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return lastError();
        } else if (const int error = createNamed(directory, mode, temporary)) {
            return error;
        }
        // Marks the file as in use until it is renamed (removeLeftovers). A fresh file cannot be
        // locked by anyone else, short of a sweep that opened a named one a moment ago.
        ::flock(fd(temporary.handle), LOCK_EX | LOCK_NB);
        if (held != kNoFileHandle) {
            // Keep the replaced file's permissions; the owner is kept where we are allowed to.
            struct stat existing {};
            if (::fstat(fd(held), &existing) != 0 ||
                ::fchmod(fd(temporary.handle), existing.st_mode & 07777) != 0) {
                const int error = lastError();
                discard(temporary);
                return error;
            }
            [[maybe_unused]] const int ignored =
                ::fchown(fd(temporary.handle), existing.st_uid, existing.st_gid);
        }
        return 0;
    }

    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override {
        return transfer([&] { return ::write(fd(file), data, size); }, written);
    }

    int flush(FileHandle file) override {
        errno = 0;
        return ::fsync(fd(file)) != 0 ? lastError() : 0;
    }

    // One syncfs per file system. It reports write-back errors only since Linux 5.8 (and then any
    // file's since the descriptor was opened); before that, each file flushes on its own.
    int flushTogether(const std::vector<FileHandle>& files) override {
        static const bool reportsErrors = kernelAtLeast(5, 8);
        if (!reportsErrors) {
            return ENOTSUP;
        }
        std::vector<dev_t> flushed;
        for (const FileHandle file : files) {
            struct stat info {};
            if (::fstat(fd(file), &info) != 0) {
                return lastError();
            }
            if (std::find(flushed.begin(), flushed.end(), info.st_dev) != flushed.end()) {
                continue;
            }
            flushed.push_back(info.st_dev);
            errno = 0;
            if (::syncfs(fd(file)) != 0) {
                return lastError();
            }
        }
        return 0;
    }

    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override {
        if (temporary.path.empty()) {
            // The unnamed file gets a name through its descriptor. Linking never replaces: a new
            // target takes the name at once, and only a file that exists makes a replacing save
            // link under a name of its own and rename that over the target.
            char self[64];
            std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd(temporary.handle));
            if (::linkat(AT_FDCWD, self, AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                return closeTemporary(temporary);
            }
            if (errno != EEXIST || !mayReplace) {
                return lastError();
            }
            std::string name = temporaryNameIn(directoryOf(target));
            if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                return lastError();
            }
            temporary.path = std::move(name);
        }
        // Renamed before it is closed: the open file keeps its lock until it has left its name.
        const int error = mayReplace
                              ? (::rename(temporary.path.c_str(), target.c_str()) != 0 ? lastError() : 0)
                              : renameNoReplace(temporary.path.c_str(), target.c_str());
        if (error != 0) {
            return error;
        }
        temporary.path.clear();
        return closeTemporary(temporary);
    }

    int flushDirectory(const std::string& target) override {
        const int handle = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (handle < 0) {
            return lastError();
        }
        errno = 0;
        int error = ::fsync(handle) != 0 ? lastError() : 0;
        // Some file systems cannot flush a directory; their names are as durable as they get.
        if (error == EINVAL) {
            error = 0;
        }
        ::close(handle);
        return error;
    }

    void discard(TemporaryFile& temporary) override {
        if (temporary.handle != kNoFileHandle) {
            ::close(fd(temporary.handle));
            temporary.handle = kNoFileHandle;
        }
        if (!temporary.path.empty()) {
            ::unlink(temporary.path.c_str());
            temporary.path.clear();
        }
    }

private:
    int closeTemporary(TemporaryFile& temporary) {
        const FileHandle handle = temporary.handle;
        temporary.handle = kNoFileHandle;
        return close(handle);
    }
};

} // namespace

FileSteps& platformFileSteps() {
    static PosixFileSteps steps;
    return steps;
}

std::string_view pathSeparators() {
    return "/";
}

} // namespace relicwright
