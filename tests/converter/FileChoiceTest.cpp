#include "converter/FileChoice.h"

#include <gtest/gtest.h>

namespace relicwright {
namespace {

struct Split {
    std::string path, fileName, title, extension;
};

TEST(FileChoice, SplitsAtTheLastDotOfTheName) {
    const Split cases[] = {
        {"/games/SWORD.ITM", "SWORD.ITM", "SWORD", "ITM"},
        {"/games/a.b.hif", "a.b.hif", "a.b", "hif"},
        {"/games/readme", "readme", "readme", ""},
        {"/games/trailing.", "trailing.", "trailing", ""},
        {"/games/.itm", ".itm", "", "itm"},
        {"/dotted.dir/plain", "plain", "plain", ""},
        {"relative.hif", "relative.hif", "relative", "hif"},
    };
    for (const Split& c : cases) {
        const FileChoice choice = FileChoice::fromPath(c.path);
        EXPECT_TRUE(choice.confirmed);
        EXPECT_EQ(choice.path, c.path);
        EXPECT_EQ(choice.fileName, c.fileName) << c.path;
        EXPECT_EQ(choice.title, c.title) << c.path;
        EXPECT_EQ(choice.extension, c.extension) << c.path;
    }
    EXPECT_FALSE(FileChoice::cancelled().confirmed);
}

} // namespace
} // namespace relicwright
