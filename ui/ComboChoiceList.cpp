#include "ComboChoiceList.h"

#include <QComboBox>
#include <QString>

namespace relicwright {

ComboChoiceList::ComboChoiceList(QComboBox& box) : box_(box) {}

std::size_t ComboChoiceList::count() const {
    return static_cast<std::size_t>(box_.count());
}

std::string ComboChoiceList::entry(std::size_t index) const {
    if (index >= count()) {
        return {};
    }
    return box_.itemText(static_cast<int>(index)).toStdString();
}

void ComboChoiceList::append(const std::string& text) {
    // Qt selects the first entry put into an empty box; an append must not change the selection.
    const int kept = box_.currentIndex();
    box_.addItem(QString::fromStdString(text));
    if (box_.currentIndex() != kept) {
        box_.setCurrentIndex(kept);
    }
}

void ComboChoiceList::setSelection(std::optional<std::size_t> index) {
    box_.setCurrentIndex(index && *index < count() ? static_cast<int>(*index) : -1);
}

std::optional<std::size_t> ComboChoiceList::selectedIndex() const {
    const int index = box_.currentIndex();
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

} // namespace relicwright
