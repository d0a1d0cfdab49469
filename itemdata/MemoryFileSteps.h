#pragma once

#include "FileSteps.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace relicwright {

// Files kept in the program's own memory, for a platform with no file system of its own (a web
// page) and for runs that must not touch the disk. Error numbers are POSIX errno values. Safe on
// several threads at once, as a batch uses its file steps.
class MemoryFileSteps final : public FileSteps {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Puts a file in place as if another program had written it.
    void put(const std::string& path, Bytes bytes);
    // Opening or replacing `path` fails with this error number, as for a file the platform would
    // not hand over (a folder, a file gone before it could be read).
    void refuse(const std::string& path, int errorNumber);
    // The file at `path`, or nullptr when there is none; valid until the file is next changed.
    const Bytes* find(const std::string& path) const;
    void clear();
    // Handles still open: every way through reading and saving closes what it opened.
    std::size_t openHandles() const;

    FileErrorCause causeOf(int errorNumber) const override;
    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override;
    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override;
    int close(FileHandle file) override;
    int exists(const std::string& path, bool& found) override;
    std::string saveTarget(const std::string& path) override { return path; }
    std::string fullPath(const std::string& target) override { return target; }
    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override;
    int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) override;
    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override;
    int flush(FileHandle file) override;
    int flushTogether(const std::vector<FileHandle>& files) override;
    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override;
    int flushDirectory(const std::string&) override { return 0; }
    void discard(TemporaryFile& temporary) override;

private:
    struct OpenFile {
        Bytes bytes;
        std::size_t position = 0;
    };
    // These three expect the mutex held.
    OpenFile* openFile(FileHandle file);
    int refusal(const std::string& path) const;
    const Bytes* stored(const std::string& path) const;

    mutable std::mutex mutex_;
    std::map<std::string, Bytes> files_;
    std::map<std::string, int> refused_;
    std::map<FileHandle, OpenFile> open_;
    FileHandle nextHandle_ = 3;
};

} // namespace relicwright
