#include "WideText.h"

#include <windows.h>

#include <climits>
#include <new>

namespace relicwright::winui {

namespace {

int lengthOf(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::bad_alloc();
    }
    return static_cast<int>(size);
}

} // namespace

std::wstring widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = lengthOf(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    return wide;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = lengthOf(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

} // namespace relicwright::winui
