#include "WindowFixture.h"

#include "winui/CommonFileDialogs.h"

namespace relicwright::winui::testing {
namespace {

// The start state itself is the entry tests' (tests/windows/EntryTest.cpp), read from the real program.
TEST_F(WindowTest, StartsWithTheFocusOnLoadAndEnterThereOpensTheFileDialog) {
    EXPECT_EQ(GetFocus(), control(IDC_LOAD));
    key(dialog, VK_RETURN);
    ASSERT_EQ(fake.openRequests.size(), 1u);
    EXPECT_EQ(CommonFileDialogs::dialogFilter(fake.openRequests[0].filter).substr(0, 37),
              std::wstring(L"Both Files (*.itm;*.hif)\0*.itm;*.hif\0", 37));
    EXPECT_FALSE(window.ending());
}

// Loads a dagger, picks the target (closing its drop-down) and the item, saves; the file is checked
// against the games' own numbers for the entry's base item code.
struct Road {
    bool hellfireSource;
    WPARAM target; // 0 "Hellfire", 1 "Diablo"
    WPARAM item;
    const char* message;
    std::uint8_t code;
};
class ConversionRoad : public WindowTest, public ::testing::WithParamInterface<Road> {};

TEST_P(ConversionRoad, WritesTheTargetGamesFile) {
    const Road road = GetParam();
    const bool toHellfire = road.target == 0;
    const GameVariant source = road.hellfireSource ? GameVariant::Hellfire : GameVariant::Diablo;
    fake.answer(itemFile(road.hellfireSource ? "dagger.hif" : "dagger.itm", source, road.hellfireSource ? 118 : 113));
    fake.answer(dir.path("out.bin"));
    send(IDC_LOAD, BM_CLICK);
    EXPECT_EQ(text(IDC_ITEM_FIELD), "Dagger");
    EXPECT_EQ(text(IDC_SOURCE_GAME_FIELD), road.hellfireSource ? "Hellfire" : "Diablo");
    send(IDC_TARGET_LIST, CB_SETCURSEL, road.target);
    closeUpTargets();
    send(IDC_ITEM_LIST, CB_SETCURSEL, road.item);
    send(IDC_SAVE, BM_CLICK);

    ASSERT_EQ(fake.saveRequests.size(), 1u);
    EXPECT_EQ(fake.saveRequests[0].initialName, toHellfire ? "dagger.hif" : "dagger.itm");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, road.message);
    EXPECT_EQ(boxes.shown[0].caption, "Relicwright");
    EXPECT_EQ(boxes.shown[0].owner, dialog);
    EXPECT_EQ(boxes.shown[0].style & MB_ICONMASK, 0u);
    // The record's own bytes are the core's to check; here, that the window wrote the entry it showed.
    const std::vector<std::uint8_t> out = dir.read("out.bin");
    ASSERT_EQ(out.size(), 400u);
    EXPECT_EQ(out[(toHellfire ? 28 : 32) + 360], road.code);
}

INSTANTIATE_TEST_SUITE_P(FourRoads, ConversionRoad,
                         ::testing::Values(Road{false, 0, 33, "File saved to Harddrive", 118},
                                           Road{true, 1, 33, "File saved to Harddrive", 113},
                                           Road{false, 1, 76, "File saved to Harddrive!", 151},
                                           Road{true, 0, 80, "File saved to Harddrive!", 6}));

TEST_F(WindowTest, ASeparatorEntryIsRefusedAndNothingIsWritten) {
    fake.answer(itemFile("dagger.itm", GameVariant::Diablo, 113));
    fake.answer(dir.path("out.hif"));
    send(IDC_LOAD, BM_CLICK);
    send(IDC_ITEM_LIST, CB_SETCURSEL, 32);
    send(IDC_SAVE, BM_CLICK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "File Not saved! Perhaps some wrong Selections.");
    EXPECT_EQ(boxes.shown[0].style & MB_ICONMASK, 0u);
    EXPECT_TRUE(dir.read("out.hif").empty());
}

TEST_F(WindowTest, AFileThatCannotBeReadIsReportedWithTheStopIconAndTheWindowGoesOn) {
    fake.answer(dir.path("missing.itm"));
    send(IDC_LOAD, BM_CLICK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, dir.path("missing.itm") + " was not found.");
    EXPECT_EQ(boxes.shown[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(boxes.shown[0].caption, "Relicwright");
    EXPECT_EQ(text(IDC_SOURCE_GAME_FIELD), "<Empty>");
    EXPECT_FALSE(window.ending());
}

// Enter outside a button, Escape anywhere and the close button (key 0) end the window at once.
struct Ending {
    int focus;
    WPARAM key;
    INT_PTR result;
};
class KeyboardEnding : public WindowTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(KeyboardEnding, EndsTheWindowAskingNothing) {
    SetFocus(control(GetParam().focus));
    if (GetParam().key == 0) {
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        pump();
    } else {
        key(dialog, GetParam().key);
    }
    EXPECT_EQ(window.ending(), GetParam().result);
    EXPECT_TRUE(fake.openRequests.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardEnding,
                         ::testing::Values(Ending{IDC_ITEM_FIELD, VK_RETURN, IDOK}, Ending{IDC_TARGET_LIST, VK_RETURN, IDOK},
                                           Ending{IDC_LOAD, VK_ESCAPE, IDCANCEL}, Ending{IDC_ITEM_LIST, VK_ESCAPE, IDCANCEL},
                                           Ending{IDC_SAVE, 0, IDCANCEL}));

} // namespace
} // namespace relicwright::winui::testing
