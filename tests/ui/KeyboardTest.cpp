#include "WindowFixture.h"

namespace relicwright::testing {
namespace {

using KeyboardTest = WindowFixture;

TEST_F(KeyboardTest, EnterOnTheReadOnlyItemFieldEndsTheWindowWithoutAsking) {
    MainWindow& w = shownWindow();
    itemField()->setFocus();
    pressKey(Qt::Key_Return);

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.openCalls.empty());
    EXPECT_TRUE(dialogs.saveCalls.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KeyboardTest, EnterInAListsTextFieldWithItsDropDownClosedEndsTheWindow) {
    MainWindow& w = shownWindow();
    itemList()->setFocus();
    for (Qt::Key key : {Qt::Key_D, Qt::Key_A, Qt::Key_G}) {
        pressKey(key);
    }
    EXPECT_EQ(text(itemList()), "d"
                                "a"
                                "g");
    pressKey(Qt::Key_Enter, Qt::KeypadModifier);

    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    // Typed text never becomes an entry.
    EXPECT_EQ(itemList()->count(), 101);
}

TEST_F(KeyboardTest, EscapeFromEveryControlEndsTheWindow) {
    for (const char* name : {"1000", "1001", "1003", "1005", "1006", "1007"}) {
        SCOPED_TRACE(name);
        MainWindow& w = shownWindow();
        w.setResult(QDialog::Accepted);
        control<QWidget>(name)->setFocus();
        pressKey(Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(dialogs.openCalls.empty());
}

TEST_F(KeyboardTest, EnterAndSpaceOnAFocusedButtonPressIt) {
    MainWindow& w = shownWindow();
    saveButton()->setFocus();
    pressKey(Qt::Key_Return);
    EXPECT_EQ(dialogs.saveCalls.size(), 1u);
    pressKey(Qt::Key_Space);
    EXPECT_EQ(dialogs.saveCalls.size(), 2u);

    loadButton()->setFocus();
    pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialogs.openCalls.size(), 1u);
    EXPECT_TRUE(w.isVisible());
    // A cancelled dialog leaves the focus on its button.
    EXPECT_EQ(QApplication::focusWidget(), loadButton());
}

TEST_F(KeyboardTest, EscapeOrEnterWithADropDownOpenOnlyClosesIt) {
    MainWindow& w = shownWindow();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        for (DropDownList* list : {itemList(), targetList()}) {
            openDropDown(list);
            pressKey(key);
            EXPECT_TRUE(waitUntil([list] { return !list->isDroppedDown(); }));
            settle();
            EXPECT_TRUE(w.isVisible());
            // Nothing was highlighted, so nothing is picked.
            EXPECT_EQ(list->currentIndex(), -1);
        }
    }
    // With an entry highlighted, Enter picks it and closes the drop-down.
    openDropDown(itemList());
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Return);
    EXPECT_TRUE(waitUntil([this] { return !itemList()->isDroppedDown(); }));
    EXPECT_GE(itemList()->currentIndex(), 0);
    EXPECT_TRUE(w.isVisible());
    // Once closed, the same key ends the window again.
    pressKey(Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(KeyboardTest, ClosingTheWindowEndsItLikeEscape) {
    MainWindow& w = shownWindow();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace relicwright::testing
