#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace relicwright {

// Paths are UTF-8 text in this program. std::filesystem reads a plain string in the system's code
// page, which on Windows is not UTF-8, so paths go in and out through its UTF-8 forms.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace relicwright
