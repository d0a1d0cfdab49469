#pragma once

#include <string>
#include <string_view>

namespace relicwright::winui {

// Text is UTF-8 inside the program and UTF-16 at the Windows API; these two functions are the
// border. Bytes that are not UTF-8 become U+FFFD.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace relicwright::winui
