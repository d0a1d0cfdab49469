#include "SystemMessageBoxes.h"

#include "WideText.h"

namespace relicwright::winui {

void SystemMessageBoxes::show(HWND owner, const std::string& caption, const std::string& text, UINT style) {
    MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), style);
}

} // namespace relicwright::winui
