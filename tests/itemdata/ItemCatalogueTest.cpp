#include "itemdata/ItemCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace relicwright {
namespace {

bool isHeading(std::string_view entry) {
    return entry.starts_with("--");
}

// The bare name of an entry as a player reads it: without the padding and the "(Unique)" or
// "(Novelty)" tag.
std::string bareName(std::string_view entry) {
    std::string name(entry);
    for (const std::string tag : {"(Unique)", "(Novelty)"}) {
        if (name.ends_with(tag)) {
            name.erase(name.size() - tag.size());
            while (!name.empty() && name.back() == ' ') {
                name.pop_back();
            }
        }
    }
    return name;
}

TEST(ItemCatalogue, ListHasElevenHeadingsAndNinetyItems) {
    const auto& entries = itemChoiceEntries();
    std::size_t headings = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (isHeading(entries[i])) {
            ++headings;
            EXPECT_EQ(encodeListIndex(GameVariant::Diablo, i), 0) << i;
            EXPECT_EQ(encodeListIndex(GameVariant::Hellfire, i), 0) << i;
        } else {
            EXPECT_NE(encodeListIndex(GameVariant::Diablo, i), 0) << i;
            EXPECT_NE(encodeListIndex(GameVariant::Hellfire, i), 0) << i;
        }
    }
    EXPECT_EQ(headings, 11u);
    EXPECT_EQ(entries[0], "--Helmets-----------------");
    EXPECT_EQ(entries[33], "Dagger");
    EXPECT_EQ(entries[76], "Ring");
    EXPECT_EQ(entries[77], "Amulet");
    EXPECT_EQ(entries[100], "Tavern Sign       (Novelty)");
}

TEST(ItemCatalogue, UniqueAndNoveltyEntriesArePaddedToEighteenCharacters) {
    const auto& entries = itemChoiceEntries();
    for (std::size_t i = 79; i <= 100; ++i) {
        if (i == 89) {
            continue;
        }
        const std::string_view tag = i < 89 ? "(Unique)" : "(Novelty)";
        EXPECT_EQ(entries[i].size(), 18 + tag.size()) << entries[i];
        EXPECT_EQ(entries[i].substr(18), tag) << entries[i];
        EXPECT_LT(bareName(entries[i]).size(), 18u) << "a space must separate name and tag: " << entries[i];
    }
}

TEST(ItemCatalogue, TargetGamesAreHellfireThenDiablo) {
    const auto& games = targetGameEntries();
    EXPECT_EQ(games[0], "Hellfire");
    EXPECT_EQ(games[1], "Diablo");
}

TEST(ItemCatalogue, NothingOutsideTheListEncodes) {
    for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        EXPECT_EQ(encodeListIndex(variant, std::nullopt), 0);
        EXPECT_EQ(encodeListIndex(variant, 101), 0);
        EXPECT_EQ(encodeListIndex(variant, 5000), 0);
    }
}

TEST(ItemCatalogue, EveryEntryDecodesBackToItsOwnName) {
    const auto& entries = itemChoiceEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (isHeading(entries[i])) {
            EXPECT_EQ(decodedNameOfIndex(i), "") << i;
            continue;
        }
        // The game's own name for this novelty drops "the".
        const std::string expected = i == 97 ? "Map of Stars" : bareName(entries[i]);
        for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
            EXPECT_EQ(decodeItemName(variant, encodeListIndex(variant, i)), expected) << i;
        }
        EXPECT_EQ(decodedNameOfIndex(i), expected);
    }
}

TEST(ItemCatalogue, WeaponsAndOrnamentsAreFiveApartAndEverythingElseIsShared) {
    for (std::size_t i = 1; i <= 100; ++i) {
        const int diablo = encodeListIndex(GameVariant::Diablo, i);
        const int hellfire = encodeListIndex(GameVariant::Hellfire, i);
        if (diablo == 0) {
            continue;
        }
        if (i >= 33 && i <= 77) {
            EXPECT_EQ(hellfire - diablo, 5) << i;
        } else {
            EXPECT_EQ(hellfire, diablo) << i;
        }
    }
}

TEST(ItemCatalogue, SameCodeNamesDifferentItemsInEachGame) {
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 118), "Blade");
    EXPECT_EQ(decodeItemName(GameVariant::Hellfire, 118), "Dagger");
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 156), "Not registered Item!!!");
    EXPECT_EQ(decodeItemName(GameVariant::Hellfire, 156), "Ring");
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, 113), "Dagger");
    EXPECT_EQ(decodeItemName(GameVariant::Hellfire, 113), "Not registered Item!!!");
}

TEST(ItemCatalogue, UnregisteredCodeRanges) {
    const auto unregistered = [](GameVariant variant, int from, int to) {
        for (int code = from; code <= to; ++code) {
            EXPECT_EQ(decodeItemName(variant, static_cast<std::uint8_t>(code)), kNotRegisteredItem)
                << variantText(variant) << " " << code;
        }
    };
    for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        unregistered(variant, 0, 5);
        unregistered(variant, 23, 27);
        unregistered(variant, 29, 30);
        unregistered(variant, 34, 47);
    }
    unregistered(GameVariant::Diablo, 77, 112);
    unregistered(GameVariant::Diablo, 156, 255);
    unregistered(GameVariant::Hellfire, 77, 117);
    unregistered(GameVariant::Hellfire, 161, 255);

    // Everything else has a name: 17 + 1 + 3 + 29 + 38 + 3 + 2 codes in each game.
    for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        int named = 0;
        for (int code = 0; code < 256; ++code) {
            named += decodeItemName(variant, static_cast<std::uint8_t>(code)) != kNotRegisteredItem ? 1 : 0;
        }
        EXPECT_EQ(named, 93) << variantText(variant);
    }
}

TEST(ItemCatalogue, RingAndAmuletOwnSeveralCodesAndEncodeToTheLowest) {
    for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        for (const std::size_t index : {76u, 77u}) {
            const std::string_view name = itemChoiceEntries()[index];
            std::set<int> codes;
            for (int code = 0; code < 256; ++code) {
                if (decodeItemName(variant, static_cast<std::uint8_t>(code)) == name) {
                    codes.insert(code);
                }
            }
            ASSERT_FALSE(codes.empty());
            EXPECT_EQ(*codes.begin(), encodeListIndex(variant, index)) << name;
            EXPECT_EQ(codes.size(), index == 76 ? 3u : 2u) << name;
        }
    }
    EXPECT_EQ(encodeListIndex(GameVariant::Diablo, 76), 151);
    EXPECT_EQ(encodeListIndex(GameVariant::Hellfire, 77), 159);
}

TEST(ItemCatalogue, QualityIsSetOnlyByUniqueAndNoveltyEntries) {
    const auto& entries = itemChoiceEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto quality = qualityForIndex(i);
        if (entries[i].ends_with("(Unique)")) {
            EXPECT_EQ(quality, std::optional<std::uint8_t>(2)) << i;
        } else if (entries[i].ends_with("(Novelty)")) {
            EXPECT_EQ(quality, std::optional<std::uint8_t>(0)) << i;
        } else {
            EXPECT_FALSE(quality.has_value()) << i;
        }
    }
    EXPECT_FALSE(qualityForIndex(101).has_value());
}

} // namespace
} // namespace relicwright
