#include "Application.h"
#include "Converter.h"

#include "FakeWindow.h"
#include "ScratchDirectory.h"
#include "BannerPicture.h"
#include "DropDownList.h"
#include "FileDialogs.h"
#include "HelpViewer.h"
#include "MainWindow.h"
#include "MessagePresenter.h"
#include "QtFileDialogs.h"
#include "QtMessagePresenter.h"

#include <QAccessible>
#include <QApplication>
#include <QFileDialog>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QDropEvent>
#include <QMessageBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace relicwright::testing {
namespace {

// The Qt window's dialogs, message boxes and help viewer, answered and recorded by the shared fake.
struct FakeDesktop : FileDialogs, MessagePresenter, HelpViewer {
    struct Shown {
        Message message;
        bool overVisibleOwner;
    };
    FakeWindow fake;
    std::vector<Shown> shown;
    std::vector<unsigned> topics;

    FileChoice promptOpenFile(QWidget*, const std::string& filter, unsigned options) override {
        return fake.promptOpenFile(filter, options);
    }
    FileChoice promptSaveFile(QWidget*, const std::string& filter, const std::string& extension,
                              const std::string& name, unsigned options) override {
        return fake.promptSaveFile(filter, extension, name, options);
    }
    void present(QWidget* owner, const Message& message) override {
        shown.push_back({message, owner != nullptr && owner->isVisible()});
    }
    bool showTopic(QWidget*, unsigned topic, std::function<void()>) override {
        topics.push_back(topic);
        return false;
    }
};

// Acts on the widget `find` names once it is up, while the test waits in a modal loop (2 s at most).
void whenUp(std::function<QWidget*()> find, std::function<void(QWidget*)> act, int tries = 100) {
    QTimer::singleShot(20, [=] {
        if (QWidget* widget = find()) {
            act(widget);
        } else if (tries > 0) {
            whenUp(find, act, tries - 1);
        }
    });
}

class WindowTest : public ::testing::Test {
protected:
    ScratchDirectory dir;
    FakeDesktop desktop;
    FakeWindow& fake = desktop.fake;
    MainWindow window{"Relicwright", MainWindow::Services{desktop, desktop, desktop, platformFileSteps()}};

    void SetUp() override {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    template <class T> T* control(const char* name) { return window.findChild<T*>(QString::fromLatin1(name)); }
    std::string field(const char* name) { return control<QLineEdit>(name)->text().toStdString(); }
    DropDownList* list(const char* name) { return control<DropDownList>(name); }
    void press(Qt::Key key) {
        QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : &window;
        QTest::keyClick(target->windowHandle(), key);
        QCoreApplication::processEvents();
    }
    void load(const std::string& path) {
        fake.answer(path);
        control<QPushButton>("1000")->click();
    }
    // Drags the files over the window and drops them; tells whether the drop cursor took them.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &dropped);
        QCoreApplication::processEvents(); // the load waits for the drop to end
        return enter.isAccepted();
    }
};

// One dropped local file loads without a dialog; several, a folder or a web address are refused. Save
// says so with no icon; a failed load shows the file-error icon over the window.
TEST_F(WindowTest, OneDroppedFileLoadsWithoutADialogAndSavesAndAnythingElseIsRefused) {
    const auto url = [this](const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); };
    const QUrl file = url(dir.write("a.itm", sampleImage(GameVariant::Diablo, 113)));
    for (const QList<QUrl>& urls : {QList<QUrl>{file, file}, QList<QUrl>{url(dir.path("."))},
                                    QList<QUrl>{QUrl(QStringLiteral("https://example.org/a.itm"))}}) {
        EXPECT_FALSE(drop(urls));
    }
    EXPECT_EQ(field("1003"), "<Empty>");
    EXPECT_TRUE(drop({file}));
    EXPECT_EQ(field("1003"), "Dagger");
    fake.answer(dir.path("out.hif"));
    control<QPushButton>("1001")->click();
    EXPECT_EQ(dir.read("out.hif").size(), 400u);
    EXPECT_TRUE(drop({url(dir.path("gone.hif"))}));
    ASSERT_EQ(desktop.shown.size(), 2u);
    EXPECT_EQ(desktop.shown[0].message.text.toStdString(), "File saved to Harddrive");
    EXPECT_EQ(desktop.shown[0].message.caption.toStdString(), "Relicwright");
    EXPECT_EQ(desktop.shown[0].message.icon, MessageIcon::None);
    EXPECT_TRUE(desktop.shown[1].overVisibleOwner);
    EXPECT_EQ(desktop.shown[1].message.icon, Application::iconFor(HandlerFailure::Kind::File));
    EXPECT_TRUE(fake.openRequests.empty());
}

// Focus starts on Load; Enter presses the focused button and elsewhere ends the window, as Escape does.
TEST_F(WindowTest, EnterPressesTheFocusedButtonAndElsewhereEndsTheWindowAsEscapeDoes) {
    ASSERT_EQ(QApplication::focusWidget(), control<QWidget>("1000"));
    press(Qt::Key_Return);
    EXPECT_EQ(fake.openRequests.size(), 1u);
    EXPECT_TRUE(window.isVisible());
    control<QWidget>("1003")->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    for (const char* name : {"1001", "1005", "1007"}) {
        window.show();
        control<QWidget>(name)->setFocus();
        press(Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible()) << name;
        EXPECT_EQ(window.result(), QDialog::Rejected);
    }
    EXPECT_EQ(fake.openRequests.size(), 1u);
}

// A file given at the start loads once, not again when the window is restored after minimising.
TEST_F(WindowTest, AFileGivenAtTheStartLoadsOnceAndNotAgainWhenTheWindowIsRestored) {
    MainWindow started{"Relicwright", MainWindow::Services{desktop, desktop, desktop, platformFileSteps()}};
    started.openWhenShown(dir.write("dagger.itm", sampleImage(GameVariant::Diablo, 113)));
    started.show();
    const auto item = [&] { return started.findChild<QLineEdit*>(QStringLiteral("1003"))->text().toStdString(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return item() == "Dagger"; }, 2000));
    started.findChild<DropDownList*>(QStringLiteral("1005"))->setCurrentIndex(5);
    started.showMinimized();
    QTest::qWait(20);
    started.showNormal();
    QTest::qWait(50);
    EXPECT_EQ(item(), "Dagger");
    EXPECT_EQ(started.findChild<DropDownList*>(QStringLiteral("1005"))->currentIndex(), 5);
    EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(WindowTest, ClosingTheTargetDropDownRunsTheTargetChangeAndArrowsDoNot) {
    load(dir.write("SWORD.ITM", sampleImage(GameVariant::Diablo, 113)));
    DropDownList* targets = list("1007");
    targets->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(targets->currentText(), "Diablo");
    EXPECT_EQ(window.converter().state().outputFileName, "SWORD.hif");
    // Opened and closed with Escape, with no change: the target change still runs.
    targets->showPopup();
    ASSERT_TRUE(targets->isDroppedDown());
    press(Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_FALSE(targets->isDroppedDown());
    EXPECT_EQ(window.converter().state().outputFileName, "SWORD.itm");
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowTest, EnterInAnOpenDropDownWithNothingHighlightedOnlyClosesIt) {
    DropDownList* items = list("1005");
    items->showPopup();
    ASSERT_TRUE(items->isDroppedDown());
    press(Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_FALSE(items->isDroppedDown());
    EXPECT_EQ(items->currentIndex(), -1);
    EXPECT_TRUE(window.isVisible());
}

// The real dialogs and message box, set up as the workflow asks, looked at without a user.
TEST(QtWindowDialogs, AskBeforeReplacingOfferEveryFileAndShowTextAsWritten) {
    QFileDialog save;
    QtFileDialogs::configureSave(save, kHellfireSaveFilter, "hif", "a.hif", OverwritePrompt | HideReadOnly);
    EXPECT_FALSE(save.testOption(QFileDialog::DontConfirmOverwrite));
    QFileDialog open;
    QtFileDialogs::configureOpen(open, kOpenFilter, LongFileNames | FileMustExist | HideReadOnly);
    EXPECT_TRUE(open.nameFilters().back().endsWith(QStringLiteral("(*)"))) << open.nameFilters().back().toStdString();
    whenUp(QApplication::activeModalWidget, [](QWidget* shown) {
        auto* box = qobject_cast<QMessageBox*>(shown);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    QtMessagePresenter().present(nullptr, Message{QStringLiteral("R"), QStringLiteral("<b>x</b>"), MessageIcon::Stop});
}

// Screen-reader names: on Linux a list is known by its buddy label, as its name is its selection.
TEST_F(WindowTest, ScreenReadersHearTheApplicationsNameForEachControl) {
    list("1005")->setCurrentIndex(1);
    list("1007")->setCurrentIndex(0);
    for (const Control number : {Control::LoadButton, Control::SaveButton, Control::ItemField, Control::ItemList,
                                 Control::SourceGameField, Control::TargetList}) {
        const QString name = QString::number(static_cast<unsigned>(number));
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(control<QWidget>(name.toLatin1()));
        ASSERT_NE(node, nullptr) << name.toStdString();
        const auto labels = node->relations(QAccessible::Label);
        const QString spoken = (labels.isEmpty() ? node : labels.front().first)->text(QAccessible::Name);
        EXPECT_EQ(spoken.toStdString(), Application::accessibleName(number)) << name.toStdString();
    }
}

// The banner's context menu opens the About box, which asks for its own help topic.
TEST_F(WindowTest, TheAboutBoxFromTheBannerAsksForItsOwnHelpTopic) {
    whenUp(QApplication::activePopupWidget, [](QWidget* menu) {
        ASSERT_NE(qobject_cast<QMenu*>(menu), nullptr);
        EXPECT_EQ(menu->actions().value(0)->text().toStdString(), Application::kAboutEntryText);
        QTest::keyClick(menu->windowHandle(), Qt::Key_Down);
        QTest::keyClick(menu->windowHandle(), Qt::Key_Return);
    });
    bool finished = false;
    const auto aboutBox = [] {
        QWidget* box = QApplication::activeModalWidget();
        return box != nullptr && box->windowTitle().toStdString() == Application::aboutBoxTitle() ? box
                                                                                                  : nullptr;
    };
    whenUp(aboutBox, [&](QWidget* box) {
        finished = true;
        EXPECT_EQ(window.messageOwner(), box);
        QTest::keyClick(box->windowHandle(), Qt::Key_F1);
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    });
    QWidget* banner = control<QWidget>("banner");
    QContextMenuEvent click(QContextMenuEvent::Mouse, banner->rect().center(), banner->mapToGlobal(banner->rect().center()));
    QApplication::sendEvent(banner, &click);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 5000));
    EXPECT_EQ(desktop.topics, std::vector<unsigned>{Application::helpTopic(kAboutBoxDialog)});
    ASSERT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.shown[0].message.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(window.isVisible());
}

// The banner is the rendering made for the pixel ratio, pixel for pixel (run at 1, 2 and 3 too).
TEST_F(WindowTest, TheBannerShowsTheRenderingMadeForTheScreensPixelRatio) {
    auto* banner = control<BannerPicture>("banner");
    const qreal ratio = banner->devicePixelRatioF();
    if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty()) {
        ASSERT_EQ(ratio, scale.toDouble());
    }
    EXPECT_EQ(banner->picture().devicePixelRatio(), ratio);
    const QImage rendering(QStringLiteral(RELICWRIGHT_RESOURCES "/") +
                          (ratio == 1 ? QStringLiteral("banner.png") : QStringLiteral("banner@%1x.png").arg(ratio)));
    ASSERT_FALSE(rendering.isNull());
    const QImage shown = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area = banner->contentsRect();
    const QPoint corner =
        QPoint(area.x() + (area.width() - 449) / 2, area.y() + (area.height() - 54) / 2) * ratio;
    const QRect seen = QRect(area.topLeft() * ratio, area.size() * ratio) & QRect(corner, rendering.size());
    ASSERT_GT(seen.width(), 400 * ratio);
    int same = 0;
    for (int y = seen.top(); y <= seen.bottom(); ++y) {
        for (int x = seen.left(); x <= seen.right(); ++x) {
            same += shown.pixel(x, y) == rendering.pixel(x - corner.x(), y - corner.y());
        }
    }
    EXPECT_GT(same, seen.width() * seen.height() * 99 / 100) << "of " << seen.width() << " x " << seen.height();
}

} // namespace
} // namespace relicwright::testing

int main(int argc, char** argv) {
    // No display needed: the window is drawn off screen unless a platform was chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
