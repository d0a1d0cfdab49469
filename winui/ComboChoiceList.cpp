#include "ComboChoiceList.h"

#include "WideText.h"

#include <new>

namespace relicwright::winui {

std::size_t ComboChoiceList::count() const {
    const LRESULT n = SendMessageW(box_, CB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::string ComboChoiceList::entry(std::size_t index) const {
    const LRESULT length = SendMessageW(box_, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(box_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return narrow(text);
}

void ComboChoiceList::append(const std::string& text) {
    const std::wstring wide = widen(text);
    // The box is unsorted, so an added string goes last; the selection stays where it was.
    const LRESULT added = SendMessageW(box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (added == CB_ERR || added == CB_ERRSPACE) {
        throw std::bad_alloc();
    }
}

void ComboChoiceList::setSelection(std::optional<std::size_t> index) {
    const WPARAM selection = index && *index < count() ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1);
    SendMessageW(box_, CB_SETCURSEL, selection, 0);
}

std::optional<std::size_t> ComboChoiceList::selectedIndex() const {
    const LRESULT index = SendMessageW(box_, CB_GETCURSEL, 0, 0);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

} // namespace relicwright::winui
