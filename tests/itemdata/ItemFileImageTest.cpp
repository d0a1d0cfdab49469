#include "itemdata/ItemFileImage.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileIo.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace relicwright {
namespace {

using testing::sampleImage;

const std::string kItmHeader("ITM01.I'll get that al'Thor!\0\0\0\0", 32);
const std::string kHifHeader("HELLFIRE ITEM FILE\0\0\0\0\0\0\0\0\0\0", 28);

std::string bytesAt(const ItemFileImage& image, std::size_t from, std::size_t length) {
    return std::string(reinterpret_cast<const char*>(image.data()) + from, length);
}

TEST(ItemFileImage, OffsetsOfCodeAndQuality) {
    EXPECT_EQ(codeOffset(GameVariant::Diablo), 392u);
    EXPECT_EQ(qualityOffset(GameVariant::Diablo), 92u);
    EXPECT_EQ(codeOffset(GameVariant::Hellfire), 388u);
    EXPECT_EQ(qualityOffset(GameVariant::Hellfire), 88u);
}

TEST(ItemFileImage, DiabloRecordMovesBehindTheHellfireHeaderWithAZeroTail) {
    const ItemFileImage source = sampleImage(GameVariant::Diablo, 113);
    const ItemFileImage output = buildOutputImage(source, GameVariant::Diablo, GameVariant::Hellfire);
    EXPECT_EQ(bytesAt(output, 0, 28), kHifHeader);
    EXPECT_EQ(bytesAt(output, 28, 368), bytesAt(source, 32, 368));
    EXPECT_EQ(bytesAt(output, 396, 4), std::string(4, '\0'));
    EXPECT_TRUE(hasStandardHeader(output, GameVariant::Hellfire));
}

TEST(ItemFileImage, HellfireRecordMovesBehindTheDiabloHeaderAndItsTailIsDropped) {
    ItemFileImage source = sampleImage(GameVariant::Hellfire, 118);
    const ItemFileImage output = buildOutputImage(source, GameVariant::Hellfire, GameVariant::Diablo);
    EXPECT_EQ(bytesAt(output, 0, 32), kItmHeader);
    EXPECT_EQ(bytesAt(output, 32, 368), bytesAt(source, 28, 368));
    EXPECT_TRUE(hasStandardHeader(output, GameVariant::Diablo));
}

TEST(ItemFileImage, SameGameCopiesEverythingIncludingAnOddHeaderAndTail) {
    for (const auto variant : {GameVariant::Diablo, GameVariant::Hellfire}) {
        ItemFileImage source = sampleImage(variant, 60);
        std::memcpy(source.data(), "MODDED", 6);
        const ItemFileImage output = buildOutputImage(source, variant, variant);
        EXPECT_EQ(output, source);
        EXPECT_FALSE(hasStandardHeader(output, variant));
    }
}

TEST(ItemFileImage, StampingChangesOnlyTheCodeAndForUniquesAndNoveltiesTheQuality) {
    for (const auto target : {GameVariant::Diablo, GameVariant::Hellfire}) {
        const ItemFileImage before = sampleImage(target, 77, 3);
        for (std::size_t index = 0; index <= 101; ++index) {
            const std::uint8_t code = encodeListIndex(target, index);
            ItemFileImage after = before;
            stampItem(after, target, code, index);
            const std::string_view entry = index < kItemChoiceCount ? itemChoiceEntries()[index] : "";
            const bool setsQuality = entry.ends_with("(Unique)") || entry.ends_with("(Novelty)");
            for (std::size_t i = 0; i < after.size(); ++i) {
                if (i == codeOffset(target)) {
                    EXPECT_EQ(after[i], code);
                } else if (i == qualityOffset(target) && setsQuality) {
                    EXPECT_EQ(after[i], entry.ends_with("(Unique)") ? 2 : 0) << index;
                } else {
                    ASSERT_EQ(after[i], before[i]) << "byte " << i << " changed for index " << index;
                }
            }
        }
    }
}

TEST(ItemFileImage, RoundTripThroughHellfireKeepsTheRecord) {
    testing::TempDir dir;
    ItemFileImage original = sampleImage(GameVariant::Diablo, 120);
    std::memcpy(original.data(), "NOT THE USUAL HEADER", 20);

    ItemFileImage hellfire = buildOutputImage(original, GameVariant::Diablo, GameVariant::Hellfire);
    writeItemFile(dir.file("sword.hif"), hellfire);

    ItemFileImage loaded{};
    readItemFile(dir.file("sword.hif"), loaded);
    // Unstamped, the Diablo "Long Sword" code reads as another weapon in Hellfire.
    EXPECT_EQ(decodeItemName(GameVariant::Diablo, original[392]), "Long Sword");
    EXPECT_EQ(decodeItemName(GameVariant::Hellfire, loaded[codeOffset(GameVariant::Hellfire)]), "Falchion");
    ItemFileImage back = buildOutputImage(loaded, GameVariant::Hellfire, GameVariant::Diablo);
    EXPECT_EQ(bytesAt(back, 0, 32), kItmHeader);
    EXPECT_EQ(bytesAt(back, 32, 368), bytesAt(original, 32, 368));

    stampItem(back, GameVariant::Diablo, encodeListIndex(GameVariant::Diablo, 80), 80);
    EXPECT_EQ(back[392], 6);
    EXPECT_EQ(back[92], 2);
    back[392] = original[392];
    back[92] = original[92];
    EXPECT_EQ(bytesAt(back, 32, 368), bytesAt(original, 32, 368));
}

} // namespace
} // namespace relicwright
