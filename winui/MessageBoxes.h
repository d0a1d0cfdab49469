#pragma once

#include "Application.h"

#include <windows.h>

#include <string>

namespace relicwright::winui {

// Shows modal message boxes. The program uses MessageBox; tests record what would be shown.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // style: MB_ flags (button, icon, modality). Returns when the user has dismissed the box.
    virtual void show(HWND owner, const std::string& caption, const std::string& text, UINT style) = 0;
};

// The MB_ICON style that draws an icon the application chose.
inline UINT iconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return 0;
    case MessageIcon::Stop:
        return MB_ICONSTOP;
    case MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    }
    return 0;
}

} // namespace relicwright::winui
