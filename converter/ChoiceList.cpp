#include "ChoiceList.h"

#include <algorithm>
#include <string_view>

namespace relicwright {

namespace {

// Compared letter by letter, ASCII only as everywhere in the program, with no copies: a load
// searches every entry of the list.
char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view entry, std::string_view text) {
    return entry.size() == text.size() &&
           std::equal(entry.begin(), entry.end(), text.begin(), [](char a, char b) { return lowered(a) == lowered(b); });
}

bool startsWithIgnoringCase(std::string_view entry, std::string_view text) {
    return entry.size() >= text.size() && equalsIgnoringCase(entry.substr(0, text.size()), text);
}

// Index 1 to the end, then index 0: the first entry is looked at last.
template <class Match> std::optional<std::size_t> search(const ChoiceList& list, Match match) {
    const std::size_t n = list.count();
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t index = step % n;
        const std::string* held = list.heldEntry(index);
        if (held != nullptr ? match(*held) : match(list.entry(index))) {
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
