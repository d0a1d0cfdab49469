#pragma once

#include "itemdata/MemoryFileSteps.h"

#include <string>

namespace relicwright::web {

// The page's files: those the user hands over live in memory. A file the browser could not read
// is still offered under its name, and opening it fails the way the browser said.
class BrowserFileSteps final : public FileSteps {
public:
    explicit BrowserFileSteps(MemoryFileSteps& memory) : memory_(memory) {}

    MemoryFileSteps& memory() { return memory_; }
    // The next open of `path` fails with this error number; 0 takes the refusal back.
    void refuse(const std::string& path, int errorNumber);

    FileErrorCause causeOf(int errorNumber) const override { return memory_.causeOf(errorNumber); }
    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override;
    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override {
        return memory_.read(file, buffer, size, got);
    }
    int close(FileHandle file) override { return memory_.close(file); }
    std::string saveTarget(const std::string& path) override { return memory_.saveTarget(path); }
    std::string fullPath(const std::string& target) override { return memory_.fullPath(target); }
    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override {
        return memory_.claimTarget(target, mayReplace, held);
    }
    int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) override {
        return memory_.createTemporary(target, held, temporary);
    }
    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override {
        return memory_.write(file, data, size, written);
    }
    int flush(FileHandle file) override { return memory_.flush(file); }
    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override {
        return memory_.commit(temporary, target, mayReplace);
    }
    int flushDirectory(const std::string& target) override { return memory_.flushDirectory(target); }
    void discard(TemporaryFile& temporary) override { memory_.discard(temporary); }

private:
    MemoryFileSteps& memory_;
    std::string refusedPath_;
    int refusal_ = 0;
};

} // namespace relicwright::web
