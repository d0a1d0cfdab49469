#include "FileChoice.h"

namespace relicwright {

FileChoice FileChoice::fromPath(const std::string& path) {
    FileChoice choice;
    choice.confirmed = true;
    choice.path = path;
    const auto slash = path.find_last_of('/');
    choice.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
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
    std::string lower = extension;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

} // namespace relicwright
