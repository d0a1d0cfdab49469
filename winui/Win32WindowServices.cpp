#include "Win32WindowServices.h"

#include "DispatchGuard.h"
#include "FileDialogs.h"
#include "ResourceIds.h"
#include "WideText.h"

namespace relicwright::winui {

Win32WindowServices::Win32WindowServices(HWND window, FileDialogs& dialogs, DispatchGuard& guard)
    : window_(window), dialogs_(dialogs), guard_(guard) {}

FileChoice Win32WindowServices::promptOpenFile(const std::string& filter, unsigned options) {
    return dialogs_.promptOpenFile(window_, filter, options);
}

FileChoice Win32WindowServices::promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                                               const std::string& initialName, unsigned options) {
    return dialogs_.promptSaveFile(window_, filter, defaultExtension, initialName, options);
}

void Win32WindowServices::showMessage(const std::string& text) {
    guard_.showMessage(text);
}

void Win32WindowServices::setSourceGameField(const std::string& text) {
    SetDlgItemTextW(window_, IDC_SOURCE_GAME_FIELD, widen(text).c_str());
}

void Win32WindowServices::setItemField(const std::string& text) {
    SetDlgItemTextW(window_, IDC_ITEM_FIELD, widen(text).c_str());
}

void Win32WindowServices::reportOutOfMemory() {
    guard_.reportOutOfMemory();
}

} // namespace relicwright::winui
