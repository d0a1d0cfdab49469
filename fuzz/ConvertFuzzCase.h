#pragma once

#include "ScratchDirectory.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace relicwright::fuzz {

// One conversion from start to finish on real files: a source file with arbitrary content and name
// is loaded, an item entry and a target are picked, and the result is saved. Input bytes, in order:
// extension choice (raw bytes follow when it is past the named ones), stem choice, item entry mode
// and value, target choice, flags, then the file content (any length).
class ConvertFuzzCase {
public:
    struct Script {
        std::uint8_t extension = 0;
        std::uint8_t stem = 0;
        std::uint8_t itemMode = 0;
        std::uint8_t itemValue = 0;
        std::uint8_t target = 0;
        std::uint8_t flags = 0;
        Bytes content;

        Bytes toBytes() const;
    };

    // Item entry modes and target choices, as the script bytes encode them.
    enum ItemMode : std::uint8_t {
        NoItem = 0,
        Separator = 1,
        Appended = 2,
        KeepLoaded = 3,
        CatalogueIndex = 4
    };
    enum TargetChoice : std::uint8_t {
        KeepTarget = 0,
        PickHellfire = 1,
        PickDiablo = 2,
        NoTarget = 3,
        AppendedTarget = 4
    };
    enum Flags : std::uint8_t { ApplyTarget = 1, OutputExists = 2, OutputIsLink = 4 };
    static constexpr std::uint8_t kNamedExtensions = 13;
    static constexpr std::uint8_t kNamedStems = 9;

    ConvertFuzzCase();

    // The first promise the program broke on this input, or nothing when all held.
    std::optional<std::string> run(const std::uint8_t* data, std::size_t size);

private:
    ScratchDirectory scratch_;
};

} // namespace relicwright::fuzz
