#pragma once

#include "FakeFileDialogs.h"
#include "FakeHelpViewer.h"
#include "RecordingMessagePresenter.h"

#include "converter/Converter.h"
#include "converter/ItemFileAccess.h"
#include "tests/support/TempDir.h"
#include "ui/ConverterApp.h"
#include "ui/DropDownList.h"
#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace relicwright::testing {

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(1);
    }
    return true;
}

// How far apart the centres of two rectangles are, along the axis where they differ most.
inline double centreOffset(const QRect& a, const QRect& b) {
    const double dx = (a.x() + a.width() / 2.0) - (b.x() + b.width() / 2.0);
    const double dy = (a.y() + a.height() / 2.0) - (b.y() + b.height() / 2.0);
    return std::max(std::abs(dx), std::abs(dy));
}

// Runs `action` as soon as `ready` returns a window, from inside whatever modal loop is running
// then. Used to answer the About box, menus and message boxes that block the test meanwhile.
inline void whenShown(std::function<QWidget*()> ready, std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, ready = std::move(ready), action = std::move(action)] {
                         if (QWidget* widget = ready()) {
                             poll->stop();
                             poll->deleteLater();
                             action(widget);
                         }
                     });
    poll->start();
}

// The main window as the program builds it, with fake dialogs and help, recorded message boxes
// and, unless a test chooses other file access, real files in a temporary directory.
class WindowFixture : public ::testing::Test {
protected:
    TempDir dir;
    ConverterApp app{"/opt/relicwright/Relicwright.exe"};
    FakeFileDialogs dialogs;
    RecordingMessagePresenter messages;
    FakeHelpViewer help;
    PosixItemFileAccess posixFiles;
    ItemFileAccess* files = &posixFiles;

    MainWindow& window() {
        if (!window_) {
            window_ =
                std::make_unique<MainWindow>(app, MainWindow::Services{dialogs, messages, help, *files});
        }
        return *window_;
    }

    // Shows the window and makes it the active one, so keys reach it as they would a user's.
    MainWindow& shownWindow() {
        MainWindow& w = window();
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    void TearDown() override { window_.reset(); }

    template <class T> T* control(const char* name) {
        T* found = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton* loadButton() { return control<QPushButton>("1000"); }
    QPushButton* saveButton() { return control<QPushButton>("1001"); }
    QLineEdit* itemField() { return control<QLineEdit>("1003"); }
    DropDownList* itemList() { return control<DropDownList>("1005"); }
    QLineEdit* sourceGameField() { return control<QLineEdit>("1006"); }
    DropDownList* targetList() { return control<DropDownList>("1007"); }

    // A key as the keyboard delivers it: to the window that has the keyboard focus, which is the
    // drop-down while one is open.
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::activePopupWidget();
        if (target == nullptr) {
            target = QApplication::activeWindow();
        }
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target->windowHandle(), key, modifiers);
    }

    void openDropDown(DropDownList* list) {
        list->setFocus();
        pressKey(Qt::Key_F4);
        ASSERT_TRUE(waitUntil([list] { return list->isDroppedDown(); }));
    }

    // Lets queued handlers (the target list's closing) run.
    static void settle() { QCoreApplication::processEvents(); }

    std::string itemFile(const std::string& name, GameVariant variant, std::uint8_t code,
                         std::uint8_t seed = 1) {
        return dir.itemFile(name, variant, code, seed);
    }

    void load(const std::string& path) {
        dialogs.answerOpen(path);
        loadButton()->click();
    }
    void save(const std::string& path) {
        dialogs.answerSave(path);
        saveButton()->click();
    }

    const ConverterState& state() { return window().converter().state(); }

    static std::string text(const QLineEdit* field) { return field->text().toStdString(); }
    static std::string text(const QComboBox* list) { return list->currentText().toStdString(); }

private:
    std::unique_ptr<MainWindow> window_;
};

} // namespace relicwright::testing
