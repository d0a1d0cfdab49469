#pragma once

#include <windows.h>

#include <string>

namespace relicwright::winui {

// The help page that ships beside the program, shown in the user's browser.
class HelpPage {
public:
    explicit HelpPage(std::string path) : path_(std::move(path)) {}
    virtual ~HelpPage() = default;

    // Opens the page at the section of a help topic. False when the page is missing or nothing
    // could be started to show it.
    bool open(HWND owner, unsigned topic) const;

    // The page's address with the topic's section: file:///C:/.../help.html#about-box.
    static std::string address(const std::string& path, unsigned topic);

protected:
    // Hands the address to the user's browser; tests look at it instead.
    virtual bool show(HWND owner, const std::string& address) const;

private:
    std::string path_;
};

} // namespace relicwright::winui
