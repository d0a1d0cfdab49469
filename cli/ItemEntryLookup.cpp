#include "ItemEntryLookup.h"

#include "itemdata/ItemCatalogue.h"

#include <array>

namespace relicwright {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<std::size_t> ItemEntryLookup::entryHolding(std::string_view decodedName) {
    if (decodedName.empty() || decodedName == kNotRegisteredItem) {
        return std::nullopt;
    }
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        if (decodedNameOfIndex(index) == decodedName) {
            return index;
        }
    }
    return std::nullopt;
}

std::vector<std::size_t> ItemEntryLookup::entriesNamed(std::string_view query) {
    const std::string wanted = normalised(query);
    std::vector<std::size_t> found;
    if (wanted.empty()) {
        return found;
    }
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        const std::array<std::string, 3> names = {normalised(itemChoiceEntries()[index]),
                                                  normalised(bareName(index)),
                                                  normalised(decodedNameOfIndex(index))};
        for (const auto& name : names) {
            if (name == wanted) {
                found.push_back(index);
                break;
            }
        }
    }
    return found;
}

std::string ItemEntryLookup::bareName(std::size_t index) {
    std::string_view text = index < kItemChoiceCount ? itemChoiceEntries()[index] : std::string_view();
    for (const std::string_view suffix : {std::string_view("(Unique)"), std::string_view("(Novelty)")}) {
        if (text.ends_with(suffix)) {
            text.remove_suffix(suffix.size());
            while (!text.empty() && isBlank(text.back())) {
                text.remove_suffix(1);
            }
            break;
        }
    }
    return std::string(text);
}

std::string ItemEntryLookup::normalised(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    bool pendingSpace = false;
    for (const char c : text) {
        if (isBlank(c)) {
            pendingSpace = !result.empty();
            continue;
        }
        if (pendingSpace) {
            result.push_back(' ');
            pendingSpace = false;
        }
        result.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return result;
}

} // namespace relicwright
