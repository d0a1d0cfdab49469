#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace relicwright::winui {

class DispatchGuard;
class ScaledPictures;

// Dialog 100: the program's name, author and icon, with an OK button.
class AboutBox {
public:
    // guard: the main window's, around every message of the box; help: asks for a help topic.
    AboutBox(DispatchGuard& guard, std::function<void(unsigned)> help);
    ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    // Shows the box modally, centred over its owner, until OK, Enter, Escape or its close button.
    void run(HWND owner);
    // The box while it is open, else null.
    HWND handle() const { return window_; }

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam);
    void open(HWND window);

    DispatchGuard& guard_;
    std::function<void(unsigned)> help_;
    HWND window_ = nullptr;
    // The icon in the size Windows asks for on the box's screen.
    std::unique_ptr<ScaledPictures> pictures_;
};

} // namespace relicwright::winui
