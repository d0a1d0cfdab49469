#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace relicwright {

// Where the file name starts in a path: just after its last directory separator, or 0.
std::size_t fileNameStart(std::string_view path);

// The text with A-Z lowered and every other byte kept: extensions and names are compared this way.
std::string lowerAscii(std::string_view text);

} // namespace relicwright
