#pragma once

#include "ChoiceList.h"

class QComboBox;

namespace relicwright {

// The workflow's view of one of the window's drop-down lists. The combo box's current index is
// the selection; whatever is typed into its text field is never read.
class ComboChoiceList final : public ChoiceList {
public:
    explicit ComboChoiceList(QComboBox& box);

    std::size_t count() const override;
    std::string entry(std::size_t index) const override;
    void append(const std::string& text) override;
    void setSelection(std::optional<std::size_t> index) override;
    std::optional<std::size_t> selectedIndex() const override;

private:
    QComboBox& box_;
};

} // namespace relicwright
