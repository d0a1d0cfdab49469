#include "HelpPage.h"

#include "Application.h"
#include "WideText.h"

#include <shellapi.h>

#include <cstdint>

namespace relicwright::winui {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c == ':';
}

} // namespace

std::string HelpPage::address(const std::string& path, unsigned topic) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file:///";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c == '\\' ? '/' : c);
        if (isUnreserved(byte)) {
            url += static_cast<char>(byte);
        } else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        }
    }
    return Application::helpAddress(url, topic);
}

bool HelpPage::open(HWND owner, unsigned topic) const {
    const std::wstring page = widen(path_);
    const DWORD attributes = GetFileAttributesW(page.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    return show(owner, address(path_, topic));
}

bool HelpPage::show(HWND owner, const std::string& address) const {
    const HINSTANCE started =
        ShellExecuteW(owner, L"open", widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(started) > 32;
}

} // namespace relicwright::winui
