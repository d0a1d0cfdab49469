#include "ItemCatalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace relicwright {
namespace {

constexpr GameVariant kBoth[] = {GameVariant::Diablo, GameVariant::Hellfire};
const std::set<std::size_t> kHeadings = {0, 7, 25, 32, 45, 52, 60, 69, 75, 78, 89};

TEST(ItemCatalogue, HeadingsAloneHaveNoCodeAndCodesRunInListOrder) {
    std::size_t coded = 0;
    for (std::size_t index = 0; index <= kItemChoiceCount + 1; ++index) {
        const bool heading = kHeadings.contains(index) || index >= kItemChoiceCount;
        for (const GameVariant variant : kBoth) {
            EXPECT_EQ(encodeListIndex(variant, index) == 0, heading) << index;
        }
        coded += heading ? 0 : 1;
    }
    EXPECT_EQ(coded, 90u);
    EXPECT_EQ(encodeListIndex(GameVariant::Diablo, std::nullopt), 0);

    // Helmets to shields are 48..76 and the weapons 113..150 in list order; the games agree up to
    // the weapons, and Hellfire numbers weapons and ornaments five higher.
    std::uint8_t expected = 48;
    for (std::size_t index = 1; index <= 77; ++index) {
        if (kHeadings.contains(index)) {
            continue;
        }
        const std::uint8_t diablo = encodeListIndex(GameVariant::Diablo, index);
        if (index == 33) {
            expected = 113;
        }
        if (index < 77) {
            EXPECT_EQ(diablo, expected++) << index;
        }
        EXPECT_EQ(encodeListIndex(GameVariant::Hellfire, index), diablo + (index >= 33 ? 5 : 0)) << index;
    }
    for (std::size_t index = 79; index < kItemChoiceCount; ++index) {
        EXPECT_EQ(encodeListIndex(GameVariant::Hellfire, index), encodeListIndex(GameVariant::Diablo, index));
    }
    EXPECT_EQ(encodeListIndex(GameVariant::Diablo, 77), 154); // Amulet: the lowest of its codes
}

TEST(ItemCatalogue, DecodingFollowsEachGamesNumbering) {
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 118), "Blade");
    EXPECT_EQ(decodeItemName(GameVariant::Hellfire, 118), "Dagger");
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 156), kNotRegisteredItem);
    for (const int code : {156, 157, 158}) {
        EXPECT_EQ(decodeItemName(GameVariant::Hellfire, static_cast<std::uint8_t>(code)), "Ring");
    }
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 155), "Amulet");
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 22), "Map of Stars");

    // Registered: 6-22, 28, 31-33, 48-76 and the weapons and ornaments (113-155, or 118-160).
    for (const GameVariant variant : kBoth) {
        const int shift = variant == GameVariant::Hellfire ? 5 : 0;
        for (int code = 0; code < 256; ++code) {
            const bool registered = (code >= 6 && code <= 22) || code == 28 || (code >= 31 && code <= 33) ||
                                    (code >= 48 && code <= 76) || (code >= 113 + shift && code <= 155 + shift);
            EXPECT_EQ(decodeItemName(variant, static_cast<std::uint8_t>(code)) != kNotRegisteredItem, registered)
                << code;
        }
    }
}

TEST(ItemCatalogue, EveryEntryDecodesBackToItsBareNameAndQuality) {
    for (std::size_t index = 0; index < kItemChoiceCount; ++index) {
        if (kHeadings.contains(index)) {
            EXPECT_FALSE(qualityForIndex(index).has_value());
            continue;
        }
        const std::string bare = index == 97 ? "Map of Stars" : bareEntryName(index);
        for (const GameVariant variant : kBoth) {
            EXPECT_EQ(decodeItemName(variant, encodeListIndex(variant, index)), bare) << index;
        }
        EXPECT_EQ(entryHoldingName(bare), index);
        const auto quality = qualityForIndex(index);
        if (index < 78) {
            EXPECT_FALSE(quality.has_value()) << index;
            EXPECT_EQ(bare, itemChoiceEntries()[index]);
        } else {
            EXPECT_EQ(quality, index < 89 ? 2 : 0) << index;
            EXPECT_EQ(itemChoiceEntries()[index].substr(18), index < 89 ? "(Unique)" : "(Novelty)");
        }
    }
    EXPECT_FALSE(entryHoldingName(kNotRegisteredItem).has_value());
}

} // namespace
} // namespace relicwright
