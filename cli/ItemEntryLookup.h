#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relicwright {

// Finds item choice list entries the way people name them on the command line, and the entry a
// loaded item already is.
class ItemEntryLookup {
public:
    // The entry for a decoded item name: the entry with that text for base types, the unique or
    // novelty entry with that bare name otherwise ("Map of Stars" is "Map of the Stars  (Novelty)").
    // None for "Not registered Item!!!".
    static std::optional<std::size_t> entryHolding(std::string_view decodedName);

    // Every entry whose text, bare name or decoded name equals the query, ignoring letter case and
    // runs of spaces.
    static std::vector<std::size_t> entriesNamed(std::string_view query);

    // "Brain" for "Brain             (Novelty)"; the entry text itself for every other entry.
    static std::string bareName(std::size_t index);

    // Lower case, runs of blanks as one space, none at either end.
    static std::string normalised(std::string_view text);
};

} // namespace relicwright
