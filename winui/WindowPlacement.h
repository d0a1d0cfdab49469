#pragma once

#include <windows.h>

namespace relicwright::winui {

// Where the dialogs open: their layouts all sit at 0, 0.
class WindowPlacement {
public:
    // Centres the window over `over`, or over the work area of its monitor when `over` is null,
    // moved back inside that work area where it would stick out.
    static void centre(HWND window, HWND over);
};

} // namespace relicwright::winui
