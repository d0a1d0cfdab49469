#include "WindowFixture.h"

#include "converter/Converter.h"
#include "itemdata/ItemCatalogue.h"

#include <QFontInfo>
#include <QScreen>

namespace relicwright::testing {
namespace {

using StartTest = WindowFixture;

TEST_F(StartTest, OpensEmptyWithNothingSelectedAndTheFocusOnLoad) {
    MainWindow& w = shownWindow();

    EXPECT_EQ(w.windowTitle().toStdString(), "Ostrand's Relicwright v1.02");
    EXPECT_EQ(text(itemField()), "<Empty>");
    EXPECT_EQ(text(sourceGameField()), "<Empty>");
    EXPECT_TRUE(itemField()->isReadOnly());
    EXPECT_TRUE(sourceGameField()->isReadOnly());

    for (DropDownList* list : {itemList(), targetList()}) {
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(text(list), "");
        EXPECT_TRUE(list->isEditable());
    }
    ASSERT_EQ(itemList()->count(), 101);
    EXPECT_EQ(itemList()->itemText(33).toStdString(), "Dagger");
    ASSERT_EQ(targetList()->count(), 2);
    EXPECT_EQ(targetList()->itemText(0).toStdString(), "Hellfire");
    EXPECT_EQ(targetList()->itemText(1).toStdString(), "Diablo");

    EXPECT_EQ(QApplication::focusWidget(), loadButton());
    EXPECT_FALSE(loadButton()->isDefault());
    EXPECT_FALSE(saveButton()->isDefault());
    EXPECT_FALSE(w.windowIcon().isNull());
}

TEST_F(StartTest, EnterRightAfterStartOpensTheFileOpenDialog) {
    shownWindow();
    pressKey(Qt::Key_Return);

    ASSERT_EQ(dialogs.openCalls.size(), 1u);
    EXPECT_EQ(dialogs.openCalls[0].filter, kOpenFilter);
    EXPECT_EQ(dialogs.openCalls[0].options, LongFileNames | FileMustExist | HideReadOnly);
    EXPECT_EQ(dialogs.openCalls[0].owner, &window());
    // Cancelled: nothing changes and the window stays.
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(text(itemField()), "<Empty>");
    EXPECT_EQ(itemList()->currentIndex(), -1);
}

TEST_F(StartTest, TabVisitsTheControlsInCreationOrderSkippingThePicture) {
    shownWindow();
    const std::vector<QWidget*> order = {saveButton(),      itemField(),  itemList(),
                                         sourceGameField(), targetList(), loadButton()};
    for (QWidget* expected : order) {
        pressKey(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(),
                  expected->objectName().toStdString());
    }
    pressKey(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), targetList());
}

TEST_F(StartTest, FrameIsFixedWithMinimiseButNoMaximise) {
    MainWindow& w = shownWindow();
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));

    // Centred in the work area.
    const QRect area = w.screen()->availableGeometry();
    EXPECT_LE(centreOffset(w.frameGeometry(), area), 0.5)
        << w.frameGeometry().x() << "," << w.frameGeometry().y() << " " << w.frameGeometry().width() << "x"
        << w.frameGeometry().height() << " in " << area.width() << "x" << area.height();
}

TEST_F(StartTest, LayoutKeepsTwoRowsUnderTheBannerInDialogUnitsOfTheRequestedFont) {
    MainWindow& w = window();
    EXPECT_EQ(w.font().family().toStdString(), "MS Sans Serif");
    EXPECT_EQ(w.font().pointSize(), 8);
    // Whatever the font resolved to, the units follow its metrics.
    const QFontMetrics metrics(w.font());
    EXPECT_EQ(w.dialogUnits().baseHeight(), metrics.height());
    EXPECT_NEAR(
        w.dialogUnits().baseWidth() * 52,
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        26);

    auto* banner = control<QWidget>("banner");
    const int unitX = w.dialogUnits().baseWidth();
    // The banner spans the width of both rows: 299 units, from x = 5 to x = 304.
    EXPECT_EQ(banner->geometry().left(), loadButton()->geometry().left());
    EXPECT_NEAR(banner->geometry().right(), targetList()->geometry().right() - unitX / 4, 2);
    EXPECT_EQ(banner->focusPolicy(), Qt::NoFocus);
    // Upper row: what was loaded; lower row: what will be written.
    for (QWidget* upper : std::vector<QWidget*>{itemField(), sourceGameField()}) {
        EXPECT_EQ(upper->geometry().top(), loadButton()->geometry().top());
    }
    for (QWidget* lower : std::vector<QWidget*>{itemList(), targetList()}) {
        EXPECT_EQ(lower->geometry().top(), saveButton()->geometry().top());
    }
    EXPECT_EQ(itemField()->geometry().left(), itemList()->geometry().left());
    EXPECT_EQ(itemField()->geometry().width(), itemList()->geometry().width());
    EXPECT_EQ(sourceGameField()->geometry().width(), targetList()->geometry().width());
    EXPECT_LT(loadButton()->geometry().right(), itemField()->geometry().left());
    EXPECT_LT(itemField()->geometry().right(), sourceGameField()->geometry().left());
    EXPECT_GT(saveButton()->geometry().top(), loadButton()->geometry().bottom());
    EXPECT_LT(saveButton()->geometry().bottom(), w.height());
    // The dropped list of the item list shows several entries, the target list both of its two.
    EXPECT_GE(itemList()->maxVisibleItems(), 5);
    EXPECT_GE(targetList()->maxVisibleItems(), 2);
}

} // namespace
} // namespace relicwright::testing
