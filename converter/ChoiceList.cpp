#include "ChoiceList.h"

#include "itemdata/PathText.h"

namespace relicwright {

namespace {

bool equalsIgnoringCase(const std::string& entry, const std::string& text) {
    return entry.size() == text.size() && lowerAscii(entry) == lowerAscii(text);
}

bool startsWithIgnoringCase(const std::string& entry, const std::string& text) {
    return lowerAscii(entry).starts_with(lowerAscii(text));
}

// Index 1 to the end, then index 0: the first entry is looked at last.
template <class Match> std::optional<std::size_t> search(const ChoiceList& list, Match match) {
    const std::size_t n = list.count();
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t index = step % n;
        if (match(list.entry(index))) {
            return index;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::size_t> ChoiceList::findExact(const std::string& text) const {
    return search(*this, [&](const std::string& entry) { return equalsIgnoringCase(entry, text); });
}

void ChoiceList::selectByPrefix(const std::string& text) {
    if (const auto index =
            search(*this, [&](const std::string& entry) { return startsWithIgnoringCase(entry, text); })) {
        setSelection(index);
    }
}

std::string ChoiceList::selectedText() const {
    const auto index = selectedIndex();
    return index ? entry(*index) : std::string();
}

} // namespace relicwright
