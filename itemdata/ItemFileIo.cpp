#include "ItemFileIo.h"

#include "PathText.h"

#include <algorithm>
#include <string_view>
#include <utility>

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
    // Leaves the file open, for its owner to close.
    void release() { handle_ = kNoFileHandle; }
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
    SaveGroup save(steps, existingFile);
    save.add(path, image);
    if (auto error = std::move(save.finish().front().error)) {
        throw std::move(*error);
    }
}

SaveGroup::~SaveGroup() {
    for (Pending& file : files_) {
        release(file);
    }
}

FileError SaveGroup::failure(const Pending& file, int errorNumber) const {
    // Once written, a file is named by its full path: the user sees where it failed.
    return FileError(steps_.causeOf(errorNumber), errorNumber, steps_.fullPath(file.target));
}

void SaveGroup::release(Pending& file) {
    steps_.discard(file.temporary);
    if (file.held != kNoFileHandle) {
        steps_.close(file.held);
        file.held = kNoFileHandle;
    }
}

void SaveGroup::add(const std::string& path, const ItemFileImage& image) {
    const bool mayReplace = existingFile_ == ExistingFile::Replace;
    Pending file{steps_.saveTarget(path), kNoFileHandle, {}};
    if (const int error = steps_.claimTarget(file.target, mayReplace, file.held)) {
        raise(steps_, error, path);
    }
    // The existing target stays claimed until the new bytes have replaced it.
    OpenFile claim(steps_, file.held);
    if (const int error = steps_.createTemporary(file.target, file.held, file.temporary)) {
        raise(steps_, error, path);
    }
    std::size_t written = 0;
    const int error = steps_.write(file.temporary.handle, image.data(), image.size(), written);
    if (error != 0 || written < image.size()) {
        steps_.discard(file.temporary);
        if (error != 0) {
            throw failure(file, error);
        }
        throw FileError(FileErrorCause::DiskFull, kShortWriteCode, steps_.fullPath(file.target));
    }
    claim.release();
    files_.push_back(std::move(file));
}

std::vector<SaveGroup::Result> SaveGroup::finish() {
    std::vector<Result> results(files_.size());
    std::vector<FileHandle> handles;
    for (const Pending& file : files_) {
        handles.push_back(file.temporary.handle);
    }
    // A group of one flushes its file alone: a whole file system's flush would wait for other programs' data.
    const bool flushedTogether = handles.size() > 1 && steps_.flushTogether(handles) == 0;
    const bool mayReplace = existingFile_ == ExistingFile::Replace;
    // The folders of the files put in place: one target in each, and its flush's error number.
    struct Folder {
        std::string_view path;
        const std::string* target;
        int error = 0;
    };
    std::vector<Folder> folders;
    std::vector<std::size_t> folderOf(files_.size());
    for (std::size_t index = 0; index < files_.size(); ++index) {
        Pending& file = files_[index];
        int error = flushedTogether ? 0 : steps_.flush(file.temporary.handle);
        if (error == 0) {
            error = steps_.commit(file.temporary, file.target, mayReplace);
        }
        release(file);
        if (error != 0) {
            results[index].error = failure(file, error);
            continue;
        }
        results[index].named = true;
        const std::string_view folder = std::string_view(file.target).substr(0, fileNameStart(file.target));
        const auto found = std::find_if(folders.begin(), folders.end(), [&](const Folder& f) { return f.path == folder; });
        folderOf[index] = static_cast<std::size_t>(found - folders.begin());
        if (found == folders.end()) {
            folders.push_back({folder, &file.target});
        }
    }
    for (Folder& folder : folders) {
        folder.error = steps_.flushDirectory(*folder.target);
    }
    // A file in place whose folder failed its flush is complete; only its name may not yet survive a
    // power cut.
    for (std::size_t index = 0; index < files_.size(); ++index) {
        if (results[index].named && folders[folderOf[index]].error != 0) {
            results[index].error = failure(files_[index], folders[folderOf[index]].error);
        }
    }
    files_.clear();
    return results;
}

} // namespace relicwright
