#pragma once

#include "FileError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace relicwright {

// An open file as the platform knows it: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFileHandle = -1;

// The new file a save writes beside its target. `path` is empty while the file has no name
// (where the platform can create one unnamed); `handle` is open until it is committed or discarded.
struct TemporaryFile {
    FileHandle handle = kNoFileHandle;
    std::string path;
};

// The steps that reading and saving an item file take. Each returns 0 when it succeeded, else the
// platform's error number. Reading and saving are written once on top of these (ItemFileIo), so a
// platform is one implementation of this class and tests can make any step fail.
class FileSteps {
public:
    virtual ~FileSteps() = default;

    // What an error number of this platform means to the user.
    virtual FileErrorCause causeOf(int errorNumber) const = 0;

    // Opens an existing regular file for reading only, so that no other program may use it
    // meanwhile; anything but a regular file is refused. `size` is the file's size.
    virtual int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) = 0;
    // Reads up to `size` bytes; `got` 0 means the end of the file.
    virtual int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) = 0;
    virtual int close(FileHandle file) = 0;

    // Whether anything has the name `path`, a dangling symbolic link too: links are not followed.
    // A path the platform cannot look up (a folder without search permission) fails with its error.
    virtual int exists(const std::string& path, bool& found) = 0;

    // The file a save to `path` replaces or creates: symbolic links are followed.
    virtual std::string saveTarget(const std::string& path) = 0;
    // The target's full path as the platform resolves it, for messages about the written file.
    virtual std::string fullPath(const std::string& target) = 0;
    // Checks an existing target before anything is written: refused when it may not be replaced,
    // is not a regular file, is read-only or is held by another program. `held` is set when the
    // target stays claimed until the save ends (closed with `close`); kNoFileHandle otherwise.
    virtual int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) = 0;
    // Creates the new file in the target's directory, with the permissions of `held` where known.
    virtual int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) = 0;
    virtual int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) = 0;
    // Forces the written bytes to the disk.
    virtual int flush(FileHandle file) = 0;
    // Forces the written bytes of all these files to the disk at once, where the platform can do it
    // faster than file by file (one flush per file system). 0 when every file is durable; otherwise
    // some may not be, and only each file's own `flush` tells which.
    virtual int flushTogether(const std::vector<FileHandle>& files) = 0;
    // Puts the complete, flushed file in place under the target's name in one step and closes it.
    // Without `mayReplace` it fails when the target exists, even one created a moment ago.
    virtual int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) = 0;
    // Makes the new name durable: flushes the target's directory.
    virtual int flushDirectory(const std::string& target) = 0;
    // Closes and removes whatever is left of a temporary file after a failure.
    virtual void discard(TemporaryFile& temporary) = 0;
};

// The steps of the platform the program was built for.
FileSteps& platformFileSteps();

// Characters that separate directories in this platform's paths.
std::string_view pathSeparators();

} // namespace relicwright
