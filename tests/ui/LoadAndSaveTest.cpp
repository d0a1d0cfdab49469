#include "WindowFixture.h"

namespace relicwright::testing {
namespace {

using LoadAndSaveTest = WindowFixture;

TEST_F(LoadAndSaveTest, DiabloDaggerBecomesAHellfireDagger) {
    shownWindow();
    const std::string source = itemFile("dagger.itm", GameVariant::Diablo, 113, 5);
    load(source);

    EXPECT_EQ(text(sourceGameField()), "Diablo");
    EXPECT_EQ(text(itemField()), "Dagger");
    EXPECT_EQ(itemList()->currentIndex(), 33);
    EXPECT_EQ(text(targetList()), "Hellfire");
    EXPECT_EQ(state().outputFileName, "dagger.hif");

    const std::string out = dir.file("dagger.hif");
    save(out);
    ASSERT_EQ(dialogs.saveCalls.size(), 1u);
    EXPECT_EQ(dialogs.saveCalls[0].initialName, "dagger.hif");
    EXPECT_EQ(dialogs.saveCalls[0].options, OverwritePrompt | HideReadOnly | LongFileNames);

    const auto original = readBytes(source);
    const auto bytes = readBytes(out);
    ASSERT_EQ(bytes.size(), 400u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 18), "HELLFIRE ITEM FILE");
    EXPECT_EQ(bytes[388], 118);
    // The record is carried over: its first bytes follow the header.
    EXPECT_TRUE(std::equal(bytes.begin() + 28, bytes.begin() + 388, original.begin() + 32));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "File saved to Harddrive");
    EXPECT_EQ(messages.shown[0].message.caption.toStdString(), "Relicwright");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::None);
    EXPECT_EQ(messages.shown[0].owner, &window());
    EXPECT_TRUE(window().isVisible());
}

TEST_F(LoadAndSaveTest, HellfireFileBecomesADiabloFileOfThePickedItem) {
    shownWindow();
    load(itemFile("a.b.hif", GameVariant::Hellfire, 118));
    EXPECT_EQ(text(sourceGameField()), "Hellfire");
    EXPECT_EQ(text(targetList()), "Diablo");
    EXPECT_EQ(state().outputFileName, "a.b.itm");

    // Pick "Butcher's Cleaver (Unique)" with the keyboard.
    itemList()->setFocus();
    for (int i = 33; i < 80; ++i) {
        pressKey(Qt::Key_Down);
    }
    ASSERT_EQ(itemList()->currentIndex(), 80);

    const std::string out = dir.file("cleaver.itm");
    save(out);
    const auto bytes = readBytes(out);
    ASSERT_EQ(bytes.size(), 400u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 28), "ITM01.I'll get that al'Thor!");
    EXPECT_EQ(bytes[392], 6);
    EXPECT_EQ(bytes[92], 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "File saved to Harddrive");
}

TEST_F(LoadAndSaveTest, UnknownExtensionAndUnnamedCodesShowTheirMarkers) {
    shownWindow();
    load(dir.file("notes.txt"));
    EXPECT_EQ(text(sourceGameField()), "Invalid Game");
    EXPECT_EQ(text(itemField()), "<not specified>");
    EXPECT_EQ(text(targetList()), "<not specified>");
    EXPECT_EQ(text(itemList()), "<not specified>");

    load(itemFile("odd.hif", GameVariant::Hellfire, 113));
    EXPECT_EQ(text(itemField()), "Not registered Item!!!");
    EXPECT_EQ(text(itemList()), "<not found>");
    EXPECT_EQ(text(targetList()), "Diablo");

    // "<not found>" selected: Save does nothing at all.
    saveButton()->click();
    EXPECT_TRUE(dialogs.saveCalls.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoadAndSaveTest, SeparatorEntryIsRefusedAfterTheDialog) {
    shownWindow();
    load(itemFile("x.itm", GameVariant::Diablo, 113));
    itemList()->setFocus();
    pressKey(Qt::Key_Up); // index 32, the "--Swords--" heading
    ASSERT_EQ(itemList()->currentIndex(), 32);
    const std::string out = dir.file("x.hif");
    save(out);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "File Not saved! Perhaps some wrong Selections.");
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace relicwright::testing
