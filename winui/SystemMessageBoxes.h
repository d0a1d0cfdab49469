#pragma once

#include "MessageBoxes.h"

namespace relicwright::winui {

class SystemMessageBoxes final : public MessageBoxes {
public:
    void show(HWND owner, const std::string& caption, const std::string& text, UINT style) override;
};

} // namespace relicwright::winui
