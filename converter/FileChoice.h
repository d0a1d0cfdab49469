#pragma once

#include <string>

namespace relicwright {

// What a file dialog returned.
struct FileChoice {
    bool confirmed = false;
    std::string path;
    std::string fileName;  // name with extension, without directory
    std::string title;     // fileName up to its last "."; all of it when there is none
    std::string extension; // after the last "."; empty when there is none or it ends the name

    // A confirmed answer naming the path, split as splitPath splits every path.
    static FileChoice fromPath(const std::string& path);
    // The extension with A-Z lowered: the form the file's variant is decided on.
    std::string lowerExtension() const;
    static FileChoice cancelled() { return {}; }

    bool operator==(const FileChoice&) const = default;
};

} // namespace relicwright
