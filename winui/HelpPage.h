#pragma once

#include <windows.h>

#include <string>

namespace relicwright::winui {

// The help page that ships beside the program, shown in the user's browser.
class HelpPage {
public:
    explicit HelpPage(std::string path) : path_(std::move(path)) {}

    // Opens the page at the section of a help topic (131072 plus a dialog's number). False when
    // the page is missing or nothing could be started to show it.
    bool open(HWND owner, unsigned topic) const;

    // The page's address with the topic's section: file:///C:/.../help.html#about-box.
    static std::string address(const std::string& path, unsigned topic);

private:
    std::string path_;
};

} // namespace relicwright::winui
