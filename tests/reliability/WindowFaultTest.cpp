// The fault matrix once more, through the window as the user drives it (offscreen): Load and Save
// are pressed, the file dialogs answer, a file step fails, and the message box, the fields and the
// files are checked, then the same action is repeated to show the window still works.
#include "WorkflowHarness.h"

#include "fuzz/ReferenceConversion.h"
#include "tests/ui/FakeFileDialogs.h"
#include "tests/ui/FakeHelpViewer.h"
#include "tests/ui/RecordingMessagePresenter.h"
#include "ui/ConverterApp.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace relicwright::testing {
namespace {

constexpr const char* kNotFound = "%1 was not found.";
constexpr const char* kAccessDenied = "Access to %1 was denied.";
constexpr const char* kHardware = "A hardware I/O error was reported while accessing %1.";
constexpr const char* kSharing = "A sharing violation occurred while accessing %1.";
constexpr const char* kDiskFull = "Disk full while accessing %1.";

enum class Named { AsChosen, Unnamed, FullPath };

class WindowUnderFaults {
public:
    ScratchDirectory dir;
    ConverterApp app{"/opt/relicwright/Relicwright.exe"};
    FakeFileDialogs dialogs;
    RecordingMessagePresenter messages;
    FakeHelpViewer help;
    StepsItemFileAccess<FaultInjectingFileSteps> files;
    MainWindow window{app, MainWindow::Services{dialogs, messages, help, files}};

    WindowUnderFaults() { window.show(); }

    template <class T> T* control(const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    std::string field(const char* name) { return control<QLineEdit>(name)->text().toStdString(); }
    std::string listText(const char* name) { return control<QComboBox>(name)->currentText().toStdString(); }
    void load(const std::string& path) {
        dialogs.answerOpen(path);
        control<QPushButton>("1000")->click();
    }
    void save(const std::string& path) {
        dialogs.answerSave(path);
        control<QPushButton>("1001")->click();
    }
    // The window is there for the next action: shown, enabled, its buttons enabled.
    bool usable() {
        return window.isVisible() && window.isEnabled() && control<QPushButton>("1000")->isEnabled() &&
               control<QPushButton>("1001")->isEnabled();
    }
};

void expectStopMessage(const RecordingMessagePresenter::Shown& shown, const MainWindow& window,
                       const std::string& text) {
    EXPECT_EQ(shown.text(), text);
    EXPECT_EQ(shown.message.caption.toStdString(), "Relicwright");
    EXPECT_EQ(shown.message.icon, MessageIcon::Stop);
    EXPECT_EQ(shown.owner, &window);
}

struct LoadRow {
    FileStep step;
    int error;
    const char* message;
    Named named;
};

void PrintTo(const LoadRow& row, std::ostream* out) {
    *out << fileStepName(row.step) << " errno " << row.error;
}

class WindowLoadFaults : public ::testing::TestWithParam<LoadRow> {};

TEST_P(WindowLoadFaults, ShowTheirTextAndLeaveTheWindowShowingThePreviousLoad) {
    const LoadRow& row = GetParam();
    WindowUnderFaults w;
    const std::string first = w.dir.file("first.itm");
    const std::string second = w.dir.file("second.hif");
    ScratchDirectory::writeBytes(first, itemFile(GameVariant::Diablo, 33, 1));
    ScratchDirectory::writeBytes(second, itemFile(GameVariant::Hellfire, 77, 2));
    w.load(first);
    ASSERT_EQ(w.field("1006"), "Diablo");
    ASSERT_EQ(w.field("1003"), "Dagger");
    ASSERT_TRUE(w.messages.shown.empty());

    w.files.steps().failAt(row.step, row.error);
    w.load(second);
    w.files.steps().disarm();

    ASSERT_EQ(w.messages.shown.size(), 1u);
    expectStopMessage(w.messages.shown[0], w.window,
                      withPath(row.message, row.named == Named::AsChosen ? second : ""));
    EXPECT_EQ(w.field("1006"), "Diablo");
    EXPECT_EQ(w.field("1003"), "Dagger");
    EXPECT_EQ(w.listText("1005"), "Dagger");
    EXPECT_EQ(w.listText("1007"), "Hellfire");
    EXPECT_EQ(w.window.converter().state().sourcePath, first);
    EXPECT_TRUE(w.usable());

    w.load(second);
    EXPECT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.field("1006"), "Hellfire");
    EXPECT_EQ(w.field("1003"), "Amulet");
}

INSTANTIATE_TEST_SUITE_P(EveryStep, WindowLoadFaults,
                         ::testing::Values(LoadRow{FileStep::Open, EACCES, kAccessDenied, Named::AsChosen},
                                           LoadRow{FileStep::Open, ENOENT, kNotFound, Named::AsChosen},
                                           LoadRow{FileStep::Lock, EWOULDBLOCK, kSharing, Named::AsChosen},
                                           LoadRow{FileStep::Read, EIO, kHardware, Named::Unnamed},
                                           LoadRow{FileStep::Close, EIO, kHardware, Named::Unnamed}));

struct SaveRow {
    FileStep step;
    int occurrence;
    int error;
    const char* message;
    Named named;
};

void PrintTo(const SaveRow& row, std::ostream* out) {
    *out << fileStepName(row.step) << " #" << row.occurrence << " errno " << row.error;
}

class WindowSaveFaults : public ::testing::TestWithParam<SaveRow> {};

TEST_P(WindowSaveFaults, ShowTheirTextKeepTheTargetAndLeaveNothingBehind) {
    const SaveRow& row = GetParam();
    WindowUnderFaults w;
    ::mkdir(w.dir.file("sub").c_str(), 0755);
    const std::string source = w.dir.file("source.itm");
    ScratchDirectory::writeBytes(source, itemFile(GameVariant::Diablo, 33, 3));
    const std::string chosen = w.dir.file("sub/../out.hif");
    const std::string fullPath = realDirectory(w.dir.path()) + "/out.hif";
    const Bytes previous(400, 0x77);
    ScratchDirectory::writeBytes(w.dir.file("out.hif"), previous);
    w.load(source);
    ASSERT_EQ(w.field("1003"), "Dagger");
    const auto expected =
        fuzz::expectedSave(w.window.converter().sharedImage(), "Diablo", "Dagger", "Hellfire", 33, true);

    if (row.step == FileStep::RemoveTemporary) {
        w.files.steps().failAt(FileStep::Write, EIO);
        w.files.steps().alsoFailAt(FileStep::RemoveTemporary, row.error);
    } else {
        w.files.steps().failAt(row.step, row.error, row.occurrence);
    }
    w.save(chosen);
    w.files.steps().disarm();

    // One message, the error's: no success message follows it.
    ASSERT_EQ(w.messages.shown.size(), 1u);
    const std::string named = row.named == Named::AsChosen   ? chosen
                              : row.named == Named::FullPath ? fullPath
                                                             : "";
    expectStopMessage(w.messages.shown[0], w.window, withPath(row.message, named));
    EXPECT_EQ(ScratchDirectory::readBytes(fullPath), previous);
    auto names = w.dir.names();
    if (row.step == FileStep::RemoveTemporary) {
        ASSERT_EQ(names.size(), 4u);
        EXPECT_EQ(names[0].rfind(".relicwright-", 0), 0u);
        names.erase(names.begin());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"out.hif", "source.itm", "sub"}));
    EXPECT_EQ(w.field("1006"), "Diablo");
    EXPECT_EQ(w.field("1003"), "Dagger");
    EXPECT_TRUE(w.usable());

    w.save(chosen);
    ASSERT_EQ(w.messages.shown.size(), 2u);
    EXPECT_EQ(w.messages.shown[1].text(), "File saved to Harddrive");
    EXPECT_EQ(w.messages.shown[1].message.icon, MessageIcon::None);
    EXPECT_EQ(ScratchDirectory::readBytes(fullPath), Bytes(expected.image.begin(), expected.image.end()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, WindowSaveFaults,
    ::testing::Values(SaveRow{FileStep::Open, 0, EACCES, kAccessDenied, Named::AsChosen},
                      SaveRow{FileStep::Open, 1, ENOSPC, kDiskFull, Named::AsChosen},
                      SaveRow{FileStep::Lock, 0, EWOULDBLOCK, kSharing, Named::AsChosen},
                      SaveRow{FileStep::Write, 0, EIO, kHardware, Named::FullPath},
                      SaveRow{FileStep::ShortWrite, 0, 0, kDiskFull, Named::FullPath},
                      SaveRow{FileStep::Flush, 0, EIO, kHardware, Named::FullPath},
                      SaveRow{FileStep::Close, 0, EIO, kHardware, Named::Unnamed},
                      SaveRow{FileStep::Rename, 0, EACCES, kAccessDenied, Named::FullPath},
                      SaveRow{FileStep::RemoveTemporary, 0, EACCES, kHardware, Named::FullPath}));

// A path with markup and "%1" reaches the message box as the very bytes of the path.
TEST(WindowBadNames, MarkupAndPercentOneAreShownAsTheyAre) {
    WindowUnderFaults w;
    ::mkdir(w.dir.file("<b>x<").c_str(), 0755);
    const std::string missing = w.dir.file("<b>x</b> %1.itm");
    w.load(missing);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    expectStopMessage(w.messages.shown[0], w.window, w.dir.path() + "/<b>x</b> %1.itm was not found.");
    EXPECT_EQ(w.field("1006"), "<Empty>");
    EXPECT_TRUE(w.usable());
}

} // namespace
} // namespace relicwright::testing

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
