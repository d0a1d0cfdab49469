#pragma once

#include "ChoiceList.h"

#include <windows.h>

namespace relicwright::winui {

// A ChoiceList over a combo box control: its entries and its current selection are the box's own.
class ComboChoiceList final : public ChoiceList {
public:
    explicit ComboChoiceList(HWND box) : box_(box) {}

    std::size_t count() const override;
    std::string entry(std::size_t index) const override;
    // Throws std::bad_alloc when the box has no room left.
    void append(const std::string& text) override;
    void setSelection(std::optional<std::size_t> index) override;
    std::optional<std::size_t> selectedIndex() const override;

private:
    HWND box_;
};

} // namespace relicwright::winui
