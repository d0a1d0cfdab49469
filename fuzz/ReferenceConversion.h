#pragma once

#include "itemdata/ItemFileImage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace relicwright::fuzz {

// The conversion rules written out a second time, by fixed offsets rather than through the item
// data helpers, so that checks compare the program against an independent account of what it owes.
struct ExpectedSave {
    enum class Outcome {
        NoDialog,       // "<not found>" selected: the save ends before asking anything
        NothingWritten, // dialog cancelled, or no conversion path: no file and no message
        Refused,        // the selected entry has no code: refusal message, no file
        Written,        // success message and exactly `image` on disk
    };
    Outcome outcome = Outcome::NothingWritten;
    ItemFileImage image{};
    std::string message;
};

ExpectedSave expectedSave(const ItemFileImage& shared, const std::string& sourceGameText,
                          const std::string& selectedItemText, const std::string& targetGameText,
                          std::optional<std::size_t> itemIndex, bool dialogConfirmed);

// What the image holds after reading a file with these bytes: its first 400, then zeros.
ItemFileImage expectedImageAfterRead(const std::vector<std::uint8_t>& content);

// A decoded name is either "Not registered Item!!!" or the name one of the catalogue entries
// decodes back to.
bool isKnownDecodedName(const std::string& name);

} // namespace relicwright::fuzz
