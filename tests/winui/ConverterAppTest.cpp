#include "WindowFixture.h"

#include "ConverterApp.h"

namespace relicwright::winui::testing {
namespace {

TEST(ConverterApp, TakesTheArgumentsAfterItsOwnNameInUtf8) {
    EXPECT_EQ(ConverterApp::argumentsOf(L"\"C:\\Program Files\\relicwright.exe\" \"C:\\My Items\\d\u00E4gger.itm\""),
              std::vector<std::string>{"C:\\My Items\\d\xC3\xA4gger.itm"});
    EXPECT_TRUE(ConverterApp::argumentsOf(L"relicwright.exe").empty());
}

// Without a console, what the program would print is shown in a box with its name, before any window.
TEST(ConverterApp, ShowsWhatWouldBePrintedInABoxAndEndsWithItsStatus) {
    const relicwright::testing::ScratchDirectory dir;
    const ConverterApp app(dir.path("Relicwright.exe"));
    RecordedBoxes boxes;
    EXPECT_EQ(app.run({"--version"}, boxes), 0);
    EXPECT_EQ(app.run({"--nonsense"}, boxes), 2);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes.shown[1].style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.caption, "Relicwright");
        EXPECT_TRUE(box.text.starts_with("Relicwright") && !box.text.ends_with("\n")) << box.text;
    }
}

} // namespace
} // namespace relicwright::winui::testing
