#include "ItemFileIo.h"

namespace relicwright {

namespace {

[[noreturn]] void raise(const FileSteps& steps, int errorNumber, std::string path) {
    throw FileError(steps.causeOf(errorNumber), errorNumber, std::move(path));
}

// Closes a file on every way out of a step sequence.
class OpenFile {
public:
    OpenFile(FileSteps& steps, FileHandle handle) : steps_(steps), handle_(handle) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (handle_ != kNoFileHandle) {
            steps_.close(handle_);
        }
    }
    // Closes now and returns the close's error number.
    int close() {
        const FileHandle handle = handle_;
        handle_ = kNoFileHandle;
        return handle == kNoFileHandle ? 0 : steps_.close(handle);
    }

private:
    FileSteps& steps_;
    FileHandle handle_;
};

} // namespace

std::uint64_t readItemFile(FileSteps& steps, const std::string& path, ItemFileImage& image) {
    FileHandle handle = kNoFileHandle;
    std::uint64_t size = 0;
    if (const int error = steps.openForReading(path, handle, size)) {
        raise(steps, error, path);
    }
    OpenFile file(steps, handle);
    ItemFileImage buffer{};
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        std::size_t got = 0;
        // A read failure names no file: the open already did.
        if (const int error = steps.read(handle, buffer.data() + filled, buffer.size() - filled, got)) {
            raise(steps, error, std::string());
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    if (const int error = file.close()) {
        raise(steps, error, std::string());
    }
    image = buffer;
    return size;
}

void writeItemFile(FileSteps& steps, const std::string& path, const ItemFileImage& image,
                   ExistingFile existingFile) {
    const bool mayReplace = existingFile == ExistingFile::Replace;
    const std::string target = steps.saveTarget(path);
    FileHandle held = kNoFileHandle;
    if (const int error = steps.claimTarget(target, mayReplace, held)) {
        raise(steps, error, path);
    }
    // The existing target stays claimed until the new bytes have replaced it.
    OpenFile claim(steps, held);

    TemporaryFile temporary;
    if (const int error = steps.createTemporary(target, held, temporary)) {
        raise(steps, error, path);
    }
    const std::string fullPath = steps.fullPath(target);
    auto fail = [&](FileErrorCause cause, int errorNumber) {
        steps.discard(temporary);
        throw FileError(cause, errorNumber, fullPath);
    };

    std::size_t written = 0;
    if (const int error = steps.write(temporary.handle, image.data(), image.size(), written)) {
        fail(steps.causeOf(error), error);
    }
    if (written < image.size()) {
        fail(FileErrorCause::DiskFull, kShortWriteCode);
    }
    if (const int error = steps.flush(temporary.handle)) {
        fail(steps.causeOf(error), error);
    }
    if (const int error = steps.commit(temporary, target, mayReplace)) {
        fail(steps.causeOf(error), error);
    }
    claim.close();
    // The new file is complete and in place; only its name may not yet survive a power cut.
    if (const int error = steps.flushDirectory(target)) {
        raise(steps, error, fullPath);
    }
}

} // namespace relicwright
