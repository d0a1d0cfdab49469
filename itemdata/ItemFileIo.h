#pragma once

#include "FileSteps.h"
#include "ItemFileImage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace relicwright {

// Reads the first 400 bytes of the file into the image. A shorter file leaves the rest of the image
// zero, never bytes of an earlier file; the image is only replaced once the whole read succeeded.
// Returns the file's size.
std::uint64_t readItemFile(FileSteps& steps, const std::string& path, ItemFileImage& image);

// Whether a save may replace a file that exists at its path.
enum class ExistingFile { Replace, Keep };

// Replaces (or creates) the file with the 400 bytes of the image. The bytes go to a new file beside
// the target that is flushed and then put in place in one step, and the directory is flushed before
// the save counts as done: a failure never leaves a partial file and an existing target keeps its
// old bytes. With ExistingFile::Keep an existing file is refused (AccessDenied), also one that
// another program creates while the save is under way.
void writeItemFile(FileSteps& steps, const std::string& path, const ItemFileImage& image,
                   ExistingFile existingFile = ExistingFile::Replace);

// Saves of many files, each as safe as writeItemFile's, whose flushes the disk makes together: each
// file's new file is written as it is added, then finish() flushes them all at once (each file on
// its own only where that fails, so that every file keeps its own error), puts them in place and
// flushes each folder once. A group of one takes exactly writeItemFile's steps. What is not
// finished is discarded.
class SaveGroup {
public:
    SaveGroup(FileSteps& steps, ExistingFile existingFile) : steps_(steps), existingFile_(existingFile) {}
    SaveGroup(const SaveGroup&) = delete;
    SaveGroup& operator=(const SaveGroup&) = delete;
    ~SaveGroup();

    // Claims the file's target and writes the image to the new file beside it. Raises FileError,
    // and leaves nothing behind, when this file cannot be saved.
    void add(const std::string& path, const ItemFileImage& image);
    std::size_t size() const { return files_.size(); }

    // What became of one file.
    struct Result {
        std::optional<FileError> error; // none: saved and durable
        bool named = false;             // the new file is in place under the target's name
    };
    // Each added file's result, in the order added.
    std::vector<Result> finish();

private:
    struct Pending {
        std::string target;
        FileHandle held = kNoFileHandle;
        TemporaryFile temporary;
    };
    FileError failure(const Pending& file, int errorNumber) const;
    void release(Pending& file);

    FileSteps& steps_;
    ExistingFile existingFile_;
    std::vector<Pending> files_;
};

} // namespace relicwright
