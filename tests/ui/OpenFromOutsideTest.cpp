// A file named on the command line or dropped on the window must end exactly where Load ends.
#include "converter/Converter.h"
#include "itemdata/FileSteps.h"
#include "ui/ConverterApp.h"
#include "ui/DesktopHelpViewer.h"
#include "ui/FileDialogs.h"
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

namespace relicwright {
namespace {

struct OpenDialog final : FileDialogs {
    std::string answer;
    int shown = 0;
    FileChoice promptOpenFile(QWidget*, const std::string&, unsigned) override {
        ++shown;
        return FileChoice::fromPath(answer);
    }
    FileChoice promptSaveFile(QWidget*, const std::string&, const std::string&, const std::string&,
                              unsigned) override {
        return {};
    }
};
struct Boxes final : MessagePresenter {
    std::vector<std::string> shown; // text, icon, and whether its owner was on screen
    void present(QWidget* owner, const Message& m) override {
        shown.push_back(m.text.toStdString() + "|" + std::to_string(int(m.icon)) + "|" +
                        std::to_string(owner != nullptr && owner->isVisible()));
    }
};

enum class Route { None, Dialog, Argument, Drop };

// Everything a load can leave behind that a user or the next operation sees.
struct Outcome {
    ConverterState state;
    std::string fields;
    std::vector<int> lists; // selection and size of the item list, then of the target list
    int dialogs;
    std::vector<std::string> boxes;
    bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& o, std::ostream* os) {
    *os << o.fields << " lists " << ::testing::PrintToString(o.lists) << " dialogs " << o.dialogs << " boxes "
        << ::testing::PrintToString(o.boxes) << " output " << o.state.outputFileName;
}

// Sends a drag of `list` over the window and then the drop; tells whether the drag was taken.
bool drop(MainWindow& w, const QList<QUrl>& list) {
    QMimeData data;
    data.setUrls(list);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &dropped);
    return enter.isAccepted();
}

Outcome load(Route route, const std::string& path, const std::function<void(MainWindow&)>& act = {}) {
    ConverterApp app("/usr/bin/relicwright");
    OpenDialog dialog;
    dialog.answer = path;
    Boxes boxes;
    DesktopHelpViewer help;
    MainWindow w(app, MainWindow::Services{dialog, boxes, help, platformFileSteps()});
    if (route == Route::Argument) {
        w.openWhenShown(path);
    }
    w.show();
    if (route == Route::Dialog) {
        w.findChild<QPushButton*>(QStringLiteral("1000"))->click();
    } else if (route == Route::Drop) {
        EXPECT_TRUE(drop(w, {QUrl::fromLocalFile(QString::fromStdString(path))}));
    }
    if (act) {
        act(w);
    }
    QCoreApplication::processEvents(); // the load waits for the window to be up, or for the drop to end
    QCoreApplication::processEvents();
    auto* items = w.findChild<QComboBox*>(QStringLiteral("1005"));
    auto* targets = w.findChild<QComboBox*>(QStringLiteral("1007"));
    const QString fields = w.findChild<QLineEdit*>(QStringLiteral("1003"))->text() + u'|' +
                           w.findChild<QLineEdit*>(QStringLiteral("1006"))->text();
    const std::vector<int> lists{items->currentIndex(), items->count(), targets->currentIndex(),
                                 targets->count()};
    return {w.converter().state(), fields.toStdString(), lists, dialog.shown, boxes.shown};
}

// A sample copied under a new name; whether another program holds it locked; field 1003 after.
struct Case {
    const char *sample, *name;
    bool locked;
    const char* itemField;
};

class OpenFromOutside : public ::testing::TestWithParam<Case> {};

TEST_P(OpenFromOutside, ArgumentAndDropEndWhereTheOpenDialogEnds) {
    const Case& c = GetParam();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QString::fromLatin1(c.name)).toStdString();
    QFile::copy(QStringLiteral(RELICWRIGHT_SAMPLES "/") + QString::fromLatin1(c.sample),
                QString::fromStdString(path));
    const int lock = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, c.locked ? LOCK_EX : LOCK_UN), 0);

    Outcome viaDialog = load(Route::Dialog, path);
    EXPECT_EQ(viaDialog.fields.substr(0, viaDialog.fields.find('|')), c.itemField);
    EXPECT_EQ(viaDialog.boxes.size(), c.locked ? 1u : 0u);
    EXPECT_EQ(viaDialog.dialogs, 1);
    viaDialog.dialogs = 0; // the other roads show no dialog
    EXPECT_EQ(load(Route::Argument, path), viaDialog);
    EXPECT_EQ(load(Route::Drop, path), viaDialog);
    ::close(lock);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenFromOutside,
                         ::testing::Values(Case{"dagger.itm", "dagger.itm", false, "Dagger"},
                                           Case{"amulet.hif", "amulet.HIF", false, "Amulet"},
                                           Case{"unregistered.itm", "odd.itm", false,
                                                "Not registered Item!!!"},
                                           Case{"dagger.itm", "dagger.txt", false, "<not specified>"},
                                           Case{"dagger.itm", "held.itm", true, "<Empty>"}));

TEST(OpenFromOutside, DropCursorRefusesAnythingButOneLocalFile) {
    QTemporaryDir dir;
    const QUrl file = QUrl::fromLocalFile(dir.filePath(QStringLiteral("a.itm")));
    QFile::copy(QStringLiteral(RELICWRIGHT_SAMPLES "/dagger.itm"), file.toLocalFile());
    const Outcome untouched = load(Route::None, dir.path().toStdString());
    for (const QList<QUrl>& refused : {QList<QUrl>{file, file}, QList<QUrl>{QUrl::fromLocalFile(dir.path())},
                                       QList<QUrl>{QUrl(QStringLiteral("https://example.org/a.itm"))}}) {
        EXPECT_EQ(load(Route::None, "", [&](MainWindow& w) { EXPECT_FALSE(drop(w, refused)); }), untouched);
    }
}

} // namespace
} // namespace relicwright
