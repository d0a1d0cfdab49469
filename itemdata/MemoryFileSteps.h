#pragma once

#include "FileSteps.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace relicwright {

// Files kept in the program's own memory, for a platform with no file system of its own (a web
// page) and for runs that must not touch the disk. Error numbers are POSIX errno values.
class MemoryFileSteps final : public FileSteps {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Puts a file in place as if another program had written it.
    void put(const std::string& path, Bytes bytes) { files_[path] = std::move(bytes); }
    // A path that names a folder: it can be neither read nor replaced.
    void addFolder(const std::string& path) { folders_.insert(path); }
    // The file at `path`, or nullptr when there is none.
    const Bytes* find(const std::string& path) const;
    void remove(const std::string& path) { files_.erase(path); }
    void clear();
    // Handles still open: every way through reading and saving closes what it opened.
    std::size_t openHandles() const { return open_.size(); }

    FileErrorCause causeOf(int errorNumber) const override;
    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override;
    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override;
    int close(FileHandle file) override;
    std::string saveTarget(const std::string& path) override { return path; }
    std::string fullPath(const std::string& target) override { return target; }
    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override;
    int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) override;
    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override;
    int flush(FileHandle file) override;
    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override;
    int flushDirectory(const std::string&) override { return 0; }
    void discard(TemporaryFile& temporary) override;

private:
    struct OpenFile {
        Bytes bytes;
        std::size_t position = 0;
    };
    OpenFile* openFile(FileHandle file);

    std::map<std::string, Bytes> files_;
    std::set<std::string> folders_;
    std::map<FileHandle, OpenFile> open_;
    FileHandle nextHandle_ = 3;
};

} // namespace relicwright
