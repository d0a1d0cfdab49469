#include "WindowFixture.h"

namespace relicwright::testing {
namespace {

// Watches the target list's closing through what applyTargetGame does: after an .itm load it
// proposes NAME.hif, and re-derives the name from the selection each time the drop-down closes.
class TargetListTest : public WindowFixture {
protected:
    void SetUp() override {
        shownWindow();
        load(itemFile("SWORD.ITM", GameVariant::Diablo, 113));
        ASSERT_EQ(state().outputFileName, "SWORD.hif");
        ASSERT_EQ(text(targetList()), "Hellfire");
    }
};

TEST_F(TargetListTest, ArrowKeysChangeTheSelectionWithoutRunningTheTargetChange) {
    targetList()->setFocus();
    pressKey(Qt::Key_Down);
    settle();

    EXPECT_EQ(text(targetList()), "Diablo");
    EXPECT_EQ(state().outputFileName, "SWORD.hif");
    EXPECT_EQ(state().outputExtension, "hif");

    // The save proposes the old name and filter but converts to the new selection.
    const std::string out = dir.file("SWORD.hif");
    save(out);
    ASSERT_EQ(dialogs.saveCalls.size(), 1u);
    EXPECT_EQ(dialogs.saveCalls[0].initialName, "SWORD.hif");
    EXPECT_EQ(dialogs.saveCalls[0].filter, "Hellfire Files (*.hif)|*.hif||");
    EXPECT_EQ(dialogs.saveCalls[0].defaultExtension, "hif");
    const auto bytes = readBytes(out);
    ASSERT_EQ(bytes.size(), 400u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 28), "ITM01.I'll get that al'Thor!");
    EXPECT_EQ(bytes[392], 113);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "File saved to Harddrive!");
}

TEST_F(TargetListTest, DropDownClosedWithEscapeWithoutAChangeStillRunsTheTargetChange) {
    targetList()->setFocus();
    pressKey(Qt::Key_Down); // to "Diablo", unnoticed
    openDropDown(targetList());
    pressKey(Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return state().outputFileName == "SWORD.itm"; }));

    EXPECT_EQ(text(targetList()), "Diablo");
    EXPECT_EQ(state().outputExtension, "itm");
    EXPECT_EQ(state().targetGameText, "Diablo");
    EXPECT_TRUE(window().isVisible());
}

TEST_F(TargetListTest, PickingAnEntryRunsTheTargetChangeWithTheNewSelection) {
    openDropDown(targetList());
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !targetList()->isDroppedDown(); }));
    settle();

    EXPECT_EQ(text(targetList()), "Diablo");
    EXPECT_EQ(state().outputFileName, "SWORD.itm");
    EXPECT_TRUE(window().isVisible());
}

TEST_F(TargetListTest, ClickingAnEntryOrElsewhereClosesTheDropDownAndRunsTheTargetChange) {
    openDropDown(targetList());
    QAbstractItemView* view = targetList()->view();
    // Qt ignores a release that comes too soon after opening (the opening click's own).
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect diablo = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, diablo.center());
    ASSERT_TRUE(waitUntil([&] { return state().outputFileName == "SWORD.itm"; }));
    EXPECT_EQ(text(targetList()), "Diablo");

    // Arrow back to "Hellfire" unnoticed, then open and click outside the drop-down.
    targetList()->setFocus();
    pressKey(Qt::Key_Up);
    settle();
    ASSERT_EQ(state().outputFileName, "SWORD.itm");
    openDropDown(targetList());
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
    ASSERT_TRUE(waitUntil([&] { return state().outputFileName == "SWORD.hif"; }));
    EXPECT_FALSE(targetList()->isDroppedDown());
}

TEST_F(TargetListTest, TheItemListsClosingRunsNothing) {
    itemList()->setFocus();
    pressKey(Qt::Key_Down);
    settle();
    EXPECT_EQ(text(itemList()), itemList()->itemText(34).toStdString());
    targetList()->setFocus();
    pressKey(Qt::Key_Down);
    openDropDown(itemList());
    pressKey(Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !itemList()->isDroppedDown(); }));
    settle();
    // Had the target change run, the name would follow "Diablo".
    EXPECT_EQ(state().outputFileName, "SWORD.hif");
}

} // namespace
} // namespace relicwright::testing
