#include "FileChoice.h"

#include "itemdata/PathText.h"

#include <utility>

namespace relicwright {

FileChoice FileChoice::fromPath(const std::string& path) {
    PathParts parts = splitPath(path);
    FileChoice choice;
    choice.confirmed = true;
    choice.path = path;
    choice.fileName = std::move(parts.fileName);
    choice.title = std::move(parts.title);
    choice.extension = std::move(parts.extension);
    return choice;
}

std::string FileChoice::lowerExtension() const {
    return lowerAscii(extension);
}

} // namespace relicwright
