#include "ItemFileInspector.h"

#include "Utf8Path.h"

#include "FileError.h"

#include <filesystem>

namespace relicwright {

ItemFileFacts ItemFileInspector::inspect(const std::string& path) {
    ItemFileFacts facts;
    facts.path = path;
    facts.variant = variantOfPath(path);
    if (!facts.variant) {
        // Not an item file, so it is not opened; only its size is told.
        std::error_code error;
        facts.size = std::filesystem::file_size(pathFromUtf8(path), error);
        if (error) {
            // The library reports C error numbers where it used the C runtime, as on Windows.
            const FileErrorCause cause = error.category() == std::generic_category()
                                             ? causeFromErrno(error.value())
                                             : platformFileSteps().causeOf(error.value());
            throw FileError(cause, error.value(), path);
        }
        return facts;
    }
    facts.contents = readItemContents(platformFileSteps(), path, *facts.variant);
    facts.size = facts.contents->fileSize;
    return facts;
}

} // namespace relicwright
