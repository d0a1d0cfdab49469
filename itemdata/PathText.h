#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace relicwright {

// Where the file name starts in a path: just after its last directory separator, or 0.
std::size_t fileNameStart(std::string_view path);

// The text with A-Z lowered and every other byte kept: extensions and names are compared this way.
std::string lowerAscii(std::string_view text);

// The name a save gives its new file beside the target while it must have one: hidden, short
// enough to fit beside the longest target name, and never one a person would choose.
std::string temporaryFileName(unsigned process, unsigned seed, unsigned counter);
// Whether a name is one that temporaryFileName makes: a user's ".relicwright-notes.tmp" is not.
bool isTemporaryFileName(std::string_view name);

} // namespace relicwright
