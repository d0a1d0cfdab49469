#include "BannerRenderings.h"

#include <gtest/gtest.h>

#include <fstream>

namespace relicwright::testing {
namespace {

// Every window picks from this list by the size it says; the files must be what it says.
TEST(BannerRenderings, EachIsTheFileOfItsSizeAndAScaleWithoutOneTakesTheNextLargerOne) {
    for (const BannerRendering& rendering : kBannerRenderings) {
        std::ifstream png(std::string(RELICWRIGHT_RESOURCES "/") + rendering.file, std::ios::binary);
        unsigned char header[24] = {};
        ASSERT_TRUE(png.read(reinterpret_cast<char*>(header), sizeof header)) << rendering.file;
        // A PNG's width and height are big-endian in its header chunk.
        const auto at = [&](int i) {
            return unsigned(header[i]) << 24 | unsigned(header[i + 1]) << 16 | unsigned(header[i + 2]) << 8 |
                   header[i + 3];
        };
        EXPECT_EQ(at(16), rendering.width) << rendering.file;
        EXPECT_EQ(at(20), rendering.height) << rendering.file;
        EXPECT_EQ(rendering.width, bannerWidthAt(rendering.percent / 100.0)) << rendering.file;
        EXPECT_EQ(&bannerRenderingFor(rendering.percent / 100.0), &rendering);
    }
    // 110 % and 350 % have none of their own: the next larger, never the smaller one enlarged.
    EXPECT_EQ(bannerRenderingFor(1.1).percent, 125u);
    EXPECT_EQ(bannerRenderingFor(1.26).percent, 150u);
    EXPECT_EQ(bannerRenderingFor(3.5).percent, 400u);
    EXPECT_EQ(bannerRenderingFor(0.5).percent, 100u);
    EXPECT_EQ(bannerRenderingFor(7.0).percent, 500u);
}

} // namespace
} // namespace relicwright::testing
