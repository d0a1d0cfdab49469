#include "WindowFixture.h"

#include "ui/AboutBox.h"
#include "ui/DesktopHelpViewer.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>

namespace relicwright::testing {
namespace {

using AboutAndHelpTest = WindowFixture;

QWidget* activeMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QWidget* activeAboutBox() {
    return qobject_cast<AboutBox*>(QApplication::activeModalWidget());
}

// A right click as the mouse delivers it, at a point of a control (or of the window itself).
void rightClick(QWidget* widget, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
}

TEST_F(AboutAndHelpTest, RightClickOnTheBannerOffersTheAboutEntryWhichShowsTheAboutBoxModally) {
    MainWindow& w = shownWindow();
    std::vector<std::string> entries;
    struct Seen {
        std::string title;
        QRect frame;
        bool modal = false;
        bool mainBlocked = false;
        QString lines;
    } seen;

    whenShown(activeMenu, [&](QWidget* menu) {
        for (QAction* action : static_cast<QMenu*>(menu)->actions()) {
            entries.push_back(action->text().toStdString());
        }
        whenShown(activeAboutBox, [&](QWidget* box) {
            seen.title = box->windowTitle().toStdString();
            seen.frame = box->frameGeometry();
            seen.modal = box->isModal();
            seen.mainBlocked = QApplication::activeModalWidget() != &w;
            for (QLabel* label : box->findChildren<QLabel*>()) {
                seen.lines += label->text() + QLatin1Char('\n');
            }
            QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
        });
        QTest::keyClick(menu->windowHandle(), Qt::Key_Down);
        QTest::keyClick(menu->windowHandle(), Qt::Key_Return);
    });
    QWidget* banner = control<QWidget>("banner");
    rightClick(banner, banner->rect().center());

    EXPECT_EQ(entries, std::vector<std::string>{"&About Relicwright..."});
    EXPECT_EQ(seen.title, "About Relicwright v1.02");
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.mainBlocked);
    EXPECT_LE(centreOffset(seen.frame, w.frameGeometry()), 0.5);
    EXPECT_TRUE(seen.lines.contains(QStringLiteral("Ostrand's Relicwright v1.02 done by Tamsrook.")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(AboutAndHelpTest, ControlsKeepTheirOwnContextMenus) {
    shownWindow();
    rightClick(loadButton(), loadButton()->rect().center());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(AboutAndHelpTest, AboutBoxClosesWithEnterOkAndItsCloseButton) {
    MainWindow& w = shownWindow();
    int closed = 0;
    auto closeWith = [&](std::function<void(QWidget*)> how) {
        whenShown(activeAboutBox, [&, how](QWidget* box) {
            how(box);
            ++closed;
        });
        w.showAboutBox();
    };
    closeWith([](QWidget* box) { QTest::keyClick(box->windowHandle(), Qt::Key_Return); });
    closeWith([](QWidget* box) { box->findChild<QPushButton*>(QStringLiteral("1"))->click(); });
    closeWith([](QWidget* box) { box->close(); });
    EXPECT_EQ(closed, 3);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutAndHelpTest, F1AsksForTheTopicOfTheDialogThatHasTheFocus) {
    MainWindow& w = shownWindow();
    itemList()->setFocus();
    pressKey(Qt::Key_F1);
    pressKey(Qt::Key_F1, Qt::ShiftModifier);
    pressKey(Qt::Key_F1, Qt::ControlModifier);

    ASSERT_EQ(help.requests.size(), 1u);
    EXPECT_EQ(help.requests[0].topic, 131174u);
    EXPECT_EQ(help.requests[0].helpFilePath, "/opt/relicwright/Relicwright.HLP");
    EXPECT_EQ(help.requests[0].owner, &w);
    EXPECT_TRUE(messages.shown.empty());

    whenShown(activeAboutBox, [](QWidget* box) {
        QTest::keyClick(box->windowHandle(), Qt::Key_F1);
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    });
    w.showAboutBox();
    ASSERT_EQ(help.requests.size(), 2u);
    EXPECT_EQ(help.requests[1].topic, 131172u);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(AboutAndHelpTest, AViewerThatCannotStartIsReportedOverTheDialogThatAsked) {
    MainWindow& w = shownWindow();
    help.starts = false;
    pressKey(Qt::Key_F1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "Failed to launch help.");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].message.caption.toStdString(), "Relicwright");
    EXPECT_EQ(messages.shown[0].owner, &w);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    QWidget* aboutBox = nullptr;
    whenShown(activeAboutBox, [&](QWidget* box) {
        aboutBox = box;
        QTest::keyClick(box->windowHandle(), Qt::Key_F1);
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    });
    w.showAboutBox();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text(), "Failed to launch help.");
    EXPECT_EQ(messages.shown[1].owner, aboutBox);
    EXPECT_TRUE(w.isVisible());
}

TEST(DesktopHelpViewer, HasNothingToStartWithoutTheHelpFile) {
    TempDir dir;
    DesktopHelpViewer viewer;
    EXPECT_FALSE(viewer.showTopic(nullptr, dir.file("relicwright.HLP"), 131174));
    // A directory of that name is no help file either.
    std::filesystem::create_directory(dir.file("dir.HLP"));
    EXPECT_FALSE(viewer.showTopic(nullptr, dir.file("dir.HLP"), 131174));
}

} // namespace
} // namespace relicwright::testing
