// A file dropped on the window must end exactly where Load ends. (The command line's file is the
// entry tests': tests/entry.)
#include "FakeDesktop.h"

#include "converter/Converter.h"
#include "itemdata/FileSteps.h"
#include "ui/ConverterApp.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace relicwright::testing {
namespace {

using namespace std::string_literals;

// Drags `urls` over the window and drops them; tells whether the drag was taken.
bool drop(MainWindow& w, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &dropped);
    return enter.isAccepted();
}

enum class Route { None, Dialog, Drop };

// The state, then the boxes, fields and list selections (index/size) after `path` came in by `route`.
std::pair<ConverterState, std::string> load(Route route, const std::string& path,
                                            const std::vector<QList<QUrl>>& refused = {}) {
    ConverterApp app("/usr/bin/relicwright");
    FakeDesktop desktop;
    desktop.fake.answer(path);
    MainWindow w(app, MainWindow::Services{desktop, desktop, desktop, platformFileSteps()});
    w.show();
    if (route == Route::Dialog) {
        w.findChild<QPushButton*>(QStringLiteral("1000"))->click();
    } else if (route == Route::Drop) {
        EXPECT_TRUE(drop(w, {QUrl::fromLocalFile(QString::fromStdString(path))}));
    }
    for (const QList<QUrl>& urls : refused) {
        EXPECT_FALSE(drop(w, urls));
    }
    QCoreApplication::processEvents(); // the load waits for the drop to end
    QCoreApplication::processEvents();
    std::string screen = desktop.fake.openRequests.empty() ? "" : "[open dialog]";
    for (const auto& [message, overWindow] : desktop.shown) {
        screen += "[" + message.text.toStdString() + ", icon " + std::to_string(int(message.icon)) +
                  (overWindow ? ", over the window]" : "]");
    }
    for (const char* name : {"1003", "1006"}) {
        screen += "|" + w.findChild<QLineEdit*>(QString::fromLatin1(name))->text().toStdString();
    }
    for (const char* name : {"1005", "1007"}) {
        const auto* list = w.findChild<QComboBox*>(QString::fromLatin1(name));
        screen += "|" + std::to_string(list->currentIndex()) + "/" + std::to_string(list->count());
    }
    return {w.converter().state(), screen};
}

// Each file ends the same by every road: a plain one, an odd extension, one another program holds.
TEST(OpenFromOutside, ADropEndsWhereTheOpenDialogEnds) {
    QTemporaryDir dir;
    for (const auto& [name, locked, itemField] : {std::tuple("dagger.itm"s, false, "Dagger"s),
                                                  std::tuple("dagger.txt"s, false, "<not specified>"s),
                                                  std::tuple("held.itm"s, true, "<Empty>"s)}) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        QFile::copy(QStringLiteral(RELICWRIGHT_SAMPLES "/dagger.itm"), QString::fromStdString(path));
        const int lock = ::open(path.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(lock, locked ? LOCK_EX : LOCK_UN), 0);
        auto viaDialog = load(Route::Dialog, path);
        EXPECT_NE(viaDialog.second.find("|" + itemField + "|"), std::string::npos) << viaDialog.second;
        EXPECT_EQ(viaDialog.second.find("over the window") != std::string::npos, locked) << viaDialog.second;
        ASSERT_TRUE(viaDialog.second.starts_with("[open dialog]"));
        viaDialog.second.erase(0, std::string("[open dialog]").size()); // a drop shows no dialog
        EXPECT_EQ(load(Route::Drop, path), viaDialog);
        ::close(lock);
    }
}

TEST(OpenFromOutside, DropCursorRefusesAnythingButOneLocalFile) {
    QTemporaryDir dir;
    const QUrl file = QUrl::fromLocalFile(dir.filePath(QStringLiteral("a.itm")));
    QFile::copy(QStringLiteral(RELICWRIGHT_SAMPLES "/dagger.itm"), file.toLocalFile());
    const std::vector<QList<QUrl>> refused{
        {file, file}, {QUrl::fromLocalFile(dir.path())}, {QUrl(QStringLiteral("https://example.org/a.itm"))}};
    EXPECT_EQ(load(Route::None, "", refused), load(Route::None, ""));
}

} // namespace
} // namespace relicwright::testing
