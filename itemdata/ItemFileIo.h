#pragma once

#include "FileSteps.h"
#include "ItemFileImage.h"

#include <cstdint>
#include <string>

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

} // namespace relicwright
