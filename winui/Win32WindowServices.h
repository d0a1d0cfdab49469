#pragma once

#include "WindowServices.h"

#include <windows.h>

namespace relicwright::winui {

class DispatchGuard;
class FileDialogs;

// What the workflow needs of the main window: the common dialogs owned by it, its message boxes
// and its two read-only fields.
class Win32WindowServices final : public WindowServices {
public:
    Win32WindowServices(HWND window, FileDialogs& dialogs, DispatchGuard& guard);

    FileChoice promptOpenFile(const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;
    void showMessage(const std::string& text) override;
    void setSourceGameField(const std::string& text) override;
    void setItemField(const std::string& text) override;
    void reportOutOfMemory() override;

private:
    HWND window_;
    FileDialogs& dialogs_;
    DispatchGuard& guard_;
};

} // namespace relicwright::winui
