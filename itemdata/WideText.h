#pragma once

#include "FileError.h"

#include <string>
#include <string_view>

namespace relicwright {

// Windows' error number for text that has no UTF-8 or UTF-16 form (ERROR_NO_UNICODE_TRANSLATION).
inline constexpr int kNoUnicodeTranslation = 1113;

// Text is UTF-8 inside the program and UTF-16 at the Windows API; these two functions are the
// border, the same on every platform (each wchar_t holds one UTF-16 unit) so that they are tested
// everywhere. Text that does not convert, bytes that are not UTF-8 or a surrogate without its
// pair, is refused with a FileError (InvalidPath, kNoUnicodeTranslation) whose path is the text
// with each such unit written out ("\xFF", "\uD800"): a name is never turned into another one.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace relicwright
