#pragma once

#include "GameVariant.h"
#include "ItemFileImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relicwright {

inline constexpr std::size_t kItemChoiceCount = 101;
inline constexpr std::string_view kNotRegisteredItem = "Not registered Item!!!";

// The item choice list entries, in the order the user sees them: headings carry no code.
const std::array<std::string_view, kItemChoiceCount>& itemChoiceEntries();
// The target-game list: "Hellfire", then "Diablo".
const std::array<std::string_view, 2>& targetGameEntries();

// Display name of a base item code, or "Not registered Item!!!".
std::string_view decodeItemName(GameVariant variant, std::uint8_t code);

// Base item code of the item choice list entry at the index; 0 when it has none (headings,
// appended entries, no selection).
std::uint8_t encodeListIndex(GameVariant variant, std::optional<std::size_t> index);

// Quality byte set by an entry: 2 for unique items, 0 for novelties, nothing for the rest.
std::optional<std::uint8_t> qualityForIndex(std::size_t index);

// The name an entry decodes back to: the entry text for base types, the bare name for unique
// and novelty entries (index 97 gives "Map of Stars"). Empty for entries without a code.
std::string_view decodedNameOfIndex(std::size_t index);

// The entry a decoded item name stands for: the entry with that text for base types, the unique or
// novelty entry with that bare name otherwise. None for "Not registered Item!!!".
std::optional<std::size_t> entryHoldingName(std::string_view decodedName);

// What the item a loaded image holds proposes for the item choice list.
struct ItemProposal {
    std::string_view name;            // the decoded name, as the item field shows it
    std::optional<std::size_t> entry; // the entry that writes the item back; none when not registered
    // The entry a load selects: `entry` where its text is the name itself. Unique and novelty
    // entries add their kind to the name, so a load selects none of them ("<not found>") and leaves
    // the pick to the user; a batch, with no one to ask, writes `entry`.
    std::optional<std::size_t> selected;
};
// The one choice of entry for a loaded image, for the window's load and a batch alike.
ItemProposal proposedItem(const ItemFileImage& image, GameVariant variant);

// "Brain" for "Brain             (Novelty)"; the entry text itself for every other entry.
std::string bareEntryName(std::size_t index);

// Every entry whose text, bare name or decoded name equals the query, ignoring letter case and
// runs of blanks: how people name an entry when they type it.
std::vector<std::size_t> entriesNamed(std::string_view query);

// Lower case, runs of blanks as one space, none at either end.
std::string normalisedName(std::string_view text);

} // namespace relicwright
