#pragma once

#include "FileSteps.h"
#include "GameVariant.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace relicwright {

// What an item file holds, read as it is and not converted.
struct ItemContents {
    std::uint64_t fileSize = 0;
    bool standardHeader = false; // the variant's own header, zero padding included
    std::uint8_t code = 0;       // the base item code
    std::string_view itemName;   // the code's name in the catalogue, which outlives every caller
    std::uint8_t quality = 0;
};

// Reads the file as an item file of the variant. Raises FileError, in the window's words, when the
// file cannot be found or read.
ItemContents readItemContents(FileSteps& steps, const std::string& path, GameVariant variant);

} // namespace relicwright
