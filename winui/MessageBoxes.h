#pragma once

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

} // namespace relicwright::winui
