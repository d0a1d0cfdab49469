#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/types.h>
#include <unistd.h>

namespace relicwright {

// The file steps an item file read or write takes, as plain system calls. Each returns what the
// system call returns and leaves errno set on failure. The file functions are templates over this
// type so that tests can substitute a version that fails at any step, at no cost to the real path.
struct PosixFileSteps {
    int open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
    // Exclusive and non-blocking: a file another program holds locked is refused, not waited for.
    int lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB); }
    ssize_t read(int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); }
    ssize_t write(int fd, const void* buffer, std::size_t size) { return ::write(fd, buffer, size); }
    int flush(int fd) { return ::fsync(fd); }
    int rename(const char* from, const char* to) { return ::rename(from, to); }
    // Fails with EEXIST when `to` exists, even if another program created it a moment ago.
    int renameNoReplace(const char* from, const char* to) {
        if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return -1;
        }
        // A file system without the flag: a hard link is just as exclusive.
        if (::link(from, to) != 0) {
            return -1;
        }
        ::unlink(from);
        return 0;
    }
    int close(int fd) { return ::close(fd); }
    int unlink(const char* path) { return ::unlink(path); }
};

} // namespace relicwright
