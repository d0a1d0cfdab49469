#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace relicwright {

// Where the file name starts in a path: just after its last directory separator, or 0.
std::size_t fileNameStart(std::string_view path);

// The parts of a path's last component.
struct PathParts {
    std::string fileName;  // name with extension, without directory
    std::string title;     // fileName up to its last "."; all of it when there is none
    std::string extension; // after the last "."; empty when there is none or it ends the name
};
// The one place that splits a path into its parts.
PathParts splitPath(std::string_view path);

// The text with A-Z lowered and every other byte kept: extensions and names are compared this way.
std::string lowerAscii(std::string_view text);

// The name a save gives its new file beside the target while it must have one: hidden, short
// enough to fit beside the longest target name, and never one a person would choose.
std::string temporaryFileName(unsigned process, unsigned seed, unsigned counter);
// Whether a name is one that temporaryFileName makes: a user's ".relicwright-notes.tmp" is not.
bool isTemporaryFileName(std::string_view name);

} // namespace relicwright
