#include "itemdata/FileError.h"
#include "itemdata/ItemCatalogue.h"
#include "itemdata/ItemFileImage.h"
#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>


namespace relicwright {
namespace {

using testing::sampleImage;

struct Road {
    GameVariant source;
    GameVariant target;
};

class ConversionRoad : public ::testing::TestWithParam<Road> {};

// Every road carries the record byte for byte, except the code and (for unique and novelty
// entries) the quality byte, behind the target's header.
TEST_P(ConversionRoad, CarriesTheRecordAndStampsCodeAndQuality) {
    const auto [source, target] = GetParam();
    ItemFileImage loaded = sampleImage(source, 200, 5);
    loaded[5] = 'X'; // a header of its own: kept within a game, replaced across

    for (const std::size_t index : {33u, 80u, 93u}) {
        const auto output = convertItem(loaded, source, target, index);
        ASSERT_TRUE(output.has_value());
        for (std::size_t i = 0; i < kItemRecordSize; ++i) {
            const std::uint8_t expected = i == kRecordCodeOffset      ? encodeListIndex(target, index)
                                          : i == kRecordQualityOffset ? (index == 33 ? 5 : index == 80 ? 2 : 0)
                                                                      : loaded[headerSize(source) + i];
            ASSERT_EQ((*output)[headerSize(target) + i], expected) << i;
        }
        if (source == target) {
            EXPECT_TRUE(std::equal(loaded.begin(), loaded.begin() + 28, output->begin()));
            EXPECT_EQ((*output)[399], loaded[399]); // the .hif tail and the header come along
        } else {
            EXPECT_TRUE(hasStandardHeader(*output, target));
            if (target == GameVariant::Hellfire) {
                EXPECT_TRUE(std::all_of(output->begin() + 396, output->end(), [](auto b) { return b == 0; }));
            }
        }
    }
    EXPECT_FALSE(convertItem(loaded, source, target, 32).has_value());
    EXPECT_FALSE(convertItem(loaded, source, target, 101).has_value());
    EXPECT_FALSE(convertItem(loaded, source, target, std::nullopt).has_value());
}

INSTANTIATE_TEST_SUITE_P(AllFour, ConversionRoad,
                         ::testing::Values(Road{GameVariant::Diablo, GameVariant::Hellfire},
                                           Road{GameVariant::Hellfire, GameVariant::Diablo},
                                           Road{GameVariant::Diablo, GameVariant::Diablo},
                                           Road{GameVariant::Hellfire, GameVariant::Hellfire}));

TEST(FileError, MessagesNameThePathOnceAndAreCut) {
    using C = FileErrorCause;
    EXPECT_EQ(FileError(C::AccessDenied, 5, "/x/%1.itm").message(), "Access to /x/%1.itm was denied.");
    EXPECT_EQ(FileError(C::HardwareError, 5, "").message(),
              "A hardware I/O error was reported while accessing an unnamed file.");
    EXPECT_EQ(FileError(C::SeekFailed, 25, "a").message(), "Seek failed on a");
    EXPECT_EQ(FileError(C::NotFound, 2, "b").message(), "b was not found.");
    EXPECT_EQ(FileError(C::DiskFull, -1, "c").message(), "Disk full while accessing c.");
    const std::string message = FileError(C::NotFound, 2, std::string(600, 'p')).message();
    EXPECT_EQ(message, std::string(511, 'p'));
    EXPECT_EQ(FileError(C::NotFound, 2, std::string(497, 'p')).message().size(), 511u);
}

} // namespace
} // namespace relicwright
