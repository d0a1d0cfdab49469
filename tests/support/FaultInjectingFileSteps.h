#pragma once

#include "FileSteps.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace relicwright::testing {

// Real file steps, except that one chosen step fails with a chosen error (a write: stores part), every
// time or only its `failingCall`th time; what is left on disk is what a user would find. Thread-safe.
class FaultInjectingFileSteps : public FileSteps {
public:
    explicit FaultInjectingFileSteps(FileSteps& real = platformFileSteps()) : real_(real) {}

    enum class Step { None, Open, Read, Close, Exists, Claim, Create, Write, ShortWrite, Flush, FlushTogether, Commit, FlushDirectory };
    static constexpr int kStepCount = static_cast<int>(Step::FlushDirectory) + 1;

    Step failing = Step::None;
    int error = 0;
    int failingCall = 0; // 0: every call
    bool groupFlushFails = false; // besides the failing step
    int calls = 0; // how often the failing step was reached
    std::vector<Step> taken; // the steps of saving, in the order they were taken
    // Runs just before the real commit: another program changing the target meanwhile.
    std::function<void(const std::string& target)> beforeCommit;

    FileErrorCause causeOf(int errorNumber) const override { return real_.causeOf(errorNumber); }
    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override {
        return hit(Step::Open) ? error : real_.openForReading(path, file, size);
    }
    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override {
        return hit(Step::Read) ? error : real_.read(file, buffer, size, got);
    }
    int close(FileHandle file) override {
        const int closed = real_.close(file);
        return hit(Step::Close) ? error : closed;
    }
    int exists(const std::string& path, bool& found) override {
        return hit(Step::Exists) ? error : real_.exists(path, found);
    }
    std::string saveTarget(const std::string& path) override { return real_.saveTarget(path); }
    std::string fullPath(const std::string& target) override { return real_.fullPath(target); }
    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override {
        return hit(Step::Claim) ? error : real_.claimTarget(target, mayReplace, held);
    }
    int createTemporary(const std::string& target, FileHandle held, TemporaryFile& temporary) override {
        return hit(Step::Create) ? error : real_.createTemporary(target, held, temporary);
    }
    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override {
        if (hit(Step::ShortWrite)) {
            return real_.write(file, data, size / 2, written);
        }
        return hit(Step::Write) ? error : real_.write(file, data, size, written);
    }
    int flush(FileHandle file) override { return hit(Step::Flush) ? error : real_.flush(file); }
    // Fails, as a flush of a whole file system fails for any file on it, when `groupFlushFails`.
    int flushTogether(const std::vector<FileHandle>& files) override {
        const int flushed = real_.flushTogether(files);
        return hit(Step::FlushTogether) || groupFlushFails ? EIO : flushed;
    }
    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override {
        if (beforeCommit) {
            beforeCommit(target);
        }
        return hit(Step::Commit) ? error : real_.commit(temporary, target, mayReplace);
    }
    int flushDirectory(const std::string& target) override {
        const int flushed = real_.flushDirectory(target);
        return hit(Step::FlushDirectory) ? error : flushed;
    }
    void discard(TemporaryFile& temporary) override { real_.discard(temporary); }

private:
    bool hit(Step step) {
        const std::lock_guard lock(mutex_);
        if (step >= Step::Claim && step != Step::ShortWrite) {
            taken.push_back(step);
        }
        if (step != failing) {
            return false;
        }
        ++calls;
        return failingCall == 0 || calls == failingCall;
    }

    std::mutex mutex_;
    FileSteps& real_;
};

} // namespace relicwright::testing
