#pragma once

#include "GameVariant.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace relicwright {

inline constexpr std::size_t kItemFileSize = 400;
inline constexpr std::size_t kItemRecordSize = 368;

// The 400 bytes of one item file, header and record together.
using ItemFileImage = std::array<std::uint8_t, kItemFileSize>;

// Record-relative positions of the only two bytes a conversion rewrites.
inline constexpr std::size_t kRecordQualityOffset = 60;
inline constexpr std::size_t kRecordCodeOffset = 360;

inline constexpr std::string_view kDiabloHeaderText = "ITM01.I'll get that al'Thor!";
inline constexpr std::size_t kDiabloHeaderSize = 32;
inline constexpr std::string_view kHellfireHeaderText = "HELLFIRE ITEM FILE";
inline constexpr std::size_t kHellfireHeaderSize = 28;

constexpr std::size_t headerSize(GameVariant variant) {
    return variant == GameVariant::Diablo ? kDiabloHeaderSize : kHellfireHeaderSize;
}
constexpr std::string_view headerText(GameVariant variant) {
    return variant == GameVariant::Diablo ? kDiabloHeaderText : kHellfireHeaderText;
}
// Byte 392 in an .itm image, 388 in a .hif image.
constexpr std::size_t codeOffset(GameVariant variant) {
    return headerSize(variant) + kRecordCodeOffset;
}
// Byte 92 in an .itm image, 88 in a .hif image.
constexpr std::size_t qualityOffset(GameVariant variant) {
    return headerSize(variant) + kRecordQualityOffset;
}

// True when the first bytes of the image are the variant's own header, zero padding included.
bool hasStandardHeader(const ItemFileImage& image, GameVariant variant);

// A new image for the target variant built from a loaded source image: the other header around the
// same record when the variants differ, an exact copy when they are the same.
ItemFileImage buildOutputImage(const ItemFileImage& source, GameVariant sourceVariant, GameVariant target);

// Writes the base item code at the target's code offset and, where the item choice list entry at the
// index sets one, the quality byte at the target's quality offset.
void stampItem(ItemFileImage& image, GameVariant target, std::uint8_t code, std::optional<std::size_t> index);

// The whole conversion of a loaded image: the output image for the target with the code of the item
// choice list entry at the index stamped in, or nothing when that entry has no code (a heading, an
// appended entry, no selection) and the conversion is refused.
std::optional<ItemFileImage> convertItem(const ItemFileImage& loaded, GameVariant source, GameVariant target,
                                         std::optional<std::size_t> index);

} // namespace relicwright
