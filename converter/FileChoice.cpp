#include "FileChoice.h"

#include "itemdata/PathText.h"

namespace relicwright {

FileChoice FileChoice::fromPath(const std::string& path) {
    FileChoice choice;
    choice.confirmed = true;
    choice.path = path;
    choice.fileName = path.substr(fileNameStart(path));
    const auto dot = choice.fileName.find_last_of('.');
    if (dot == std::string::npos) {
        choice.title = choice.fileName;
    } else {
        choice.title = choice.fileName.substr(0, dot);
        choice.extension = choice.fileName.substr(dot + 1);
    }
    return choice;
}

std::string FileChoice::lowerExtension() const {
    return lowerAscii(extension);
}

} // namespace relicwright
