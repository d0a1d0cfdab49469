#pragma once

#include "itemdata/PosixFileSteps.h"

#include <cerrno>
#include <cstddef>
#include <string>
#include <vector>

namespace relicwright::testing {

// The file steps an item file read or write takes, named so a test can pick one to fail.
enum class FileStep { Open, Lock, Read, Write, ShortWrite, Flush, Rename, Close, RemoveTemporary };

inline const char* fileStepName(FileStep step) {
    switch (step) {
    case FileStep::Open:
        return "open";
    case FileStep::Lock:
        return "lock";
    case FileStep::Read:
        return "read";
    case FileStep::Write:
        return "write";
    case FileStep::ShortWrite:
        return "short write";
    case FileStep::Flush:
        return "flush";
    case FileStep::Rename:
        return "rename";
    case FileStep::Close:
        return "close";
    case FileStep::RemoveTemporary:
        return "remove temporary";
    }
    return "?";
}

// Real file steps, except that the chosen step fails with the chosen error number. `occurrence`
// picks which call of that step fails (0: the first), so e.g. the second open (the temporary file of
// a save) can be made to fail. A short write stores `shortBytes` bytes and reports success.
// Every call is recorded in `calls`. alsoFailAt() adds further faults, so that a clean-up step can
// fail after the fault that made the clean-up necessary.
struct FaultInjectingFileSteps {
    struct Fault {
        FileStep step;
        int errorNumber;
        int occurrence;
    };

    FileStep failing = FileStep::Open;
    int errorNumber = EIO;
    int occurrence = 0;
    bool armed = false;
    std::size_t shortBytes = 100;
    std::vector<FileStep> calls;
    std::vector<std::string> opened;

    void failAt(FileStep step, int error, int which = 0) {
        failing = step;
        errorNumber = error;
        occurrence = which;
        armed = true;
        // Calls made before arming do not count towards the occurrence.
        callsBeforeArming = count(step == FileStep::ShortWrite ? FileStep::Write : step);
    }
    void alsoFailAt(FileStep step, int error, int which = 0) { extraFaults.push_back({step, error, which}); }
    void disarm() {
        armed = false;
        extraFaults.clear();
    }

    int open(const char* path, int flags, mode_t mode) {
        opened.emplace_back(path);
        if (fails(FileStep::Open)) {
            return -1;
        }
        return real.open(path, flags, mode);
    }
    int lock(int fd) { return fails(FileStep::Lock) ? -1 : real.lock(fd); }
    ssize_t read(int fd, void* buffer, std::size_t size) {
        return fails(FileStep::Read) ? -1 : real.read(fd, buffer, size);
    }
    ssize_t write(int fd, const void* buffer, std::size_t size) {
        if (fails(FileStep::Write)) {
            return -1;
        }
        if (armed && failing == FileStep::ShortWrite &&
            count(FileStep::Write) == callsBeforeArming + occurrence + 1) {
            armed = false;
            return real.write(fd, buffer, shortBytes < size ? shortBytes : size);
        }
        return real.write(fd, buffer, size);
    }
    int flush(int fd) { return fails(FileStep::Flush) ? -1 : real.flush(fd); }
    int rename(const char* from, const char* to) {
        return fails(FileStep::Rename) ? -1 : real.rename(from, to);
    }
    int renameNoReplace(const char* from, const char* to) {
        return fails(FileStep::Rename) ? -1 : real.renameNoReplace(from, to);
    }
    int close(int fd) {
        if (fails(FileStep::Close)) {
            // The descriptor is released all the same, as the system does when close reports an error.
            const int code = errno;
            real.close(fd);
            errno = code;
            return -1;
        }
        return real.close(fd);
    }
    int unlink(const char* path) { return fails(FileStep::RemoveTemporary) ? -1 : real.unlink(path); }

private:
    PosixFileSteps real;
    int callsBeforeArming = 0;
    std::vector<Fault> extraFaults;

    int count(FileStep step) const {
        int n = 0;
        for (FileStep call : calls) {
            n += call == step ? 1 : 0;
        }
        return n;
    }
    bool fails(FileStep step) {
        calls.push_back(step);
        if (armed && failing == step && count(step) == callsBeforeArming + occurrence + 1) {
            armed = false;
            errno = errorNumber;
            return true;
        }
        for (auto it = extraFaults.begin(); it != extraFaults.end(); ++it) {
            if (it->step == step && count(step) == it->occurrence + 1) {
                errno = it->errorNumber;
                extraFaults.erase(it);
                return true;
            }
        }
        return false;
    }
};

} // namespace relicwright::testing
