#pragma once

#include "GameVariant.h"
#include "ItemContents.h"

#include <cstdint>
#include <optional>
#include <string>

namespace relicwright {

// What `info` tells about one file. Without a variant (neither .itm nor .hif) the file is not read,
// so only its size is known.
struct ItemFileFacts {
    std::string path;
    std::optional<GameVariant> variant;
    std::uint64_t size = 0;
    std::optional<ItemContents> contents; // with a variant only
};

class ItemFileInspector {
public:
    // Raises FileError, in the window's words, when the file cannot be found or read.
    static ItemFileFacts inspect(const std::string& path);
};

} // namespace relicwright
