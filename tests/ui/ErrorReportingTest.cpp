#include "WindowFixture.h"

#include "tests/support/FaultInjectingFileSteps.h"
#include "ui/QtWindowServices.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace relicwright::testing {
namespace {

// Keeps a file locked as another program would while it works on it.
class HeldFile {
public:
    explicit HeldFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ADD_FAILURE() << "cannot hold " << path;
        }
    }
    ~HeldFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

private:
    int fd_;
};

using ErrorReportingTest = WindowFixture;

TEST_F(ErrorReportingTest, LockedFileIsReportedAndTheWindowKeepsThePreviousLoad) {
    shownWindow();
    load(itemFile("first.itm", GameVariant::Diablo, 113));
    const std::string held = itemFile("held.hif", GameVariant::Hellfire, 159);
    {
        const HeldFile lock(held);
        load(held);
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    const Message& box = messages.shown[0].message;
    EXPECT_EQ(box.text.toStdString(), "A sharing violation occurred while accessing " + held + ".");
    EXPECT_EQ(box.icon, MessageIcon::Stop);
    EXPECT_EQ(box.caption.toStdString(), "Relicwright");
    EXPECT_FALSE(box.keepAbove);
    EXPECT_EQ(messages.shown[0].owner, &window());

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(text(sourceGameField()), "Diablo");
    EXPECT_EQ(text(itemField()), "Dagger");

    // The window still works: the same file loads once it is free.
    load(held);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(text(sourceGameField()), "Hellfire");
    EXPECT_EQ(text(itemField()), "Amulet");
}

TEST_F(ErrorReportingTest, PathsWithPlaceholdersOrMarkupAreShownAsTheyAre) {
    shownWindow();
    const std::string missing = dir.file("<b>x</b> %1 & co.itm");
    load(missing);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), missing + " was not found.");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Stop);
    EXPECT_EQ(text(itemField()), "<Empty>");
}

TEST_F(ErrorReportingTest, SavingOntoAReadOnlyFileIsDeniedWithoutASuccessMessage) {
    shownWindow();
    load(itemFile("x.itm", GameVariant::Diablo, 113));
    const std::string target = dir.file("locked.hif");
    writeBytes(target, {1, 2, 3});
    std::filesystem::permissions(target, std::filesystem::perms::owner_read);

    save(target);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "Access to " + target + " was denied.");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Stop);
    EXPECT_EQ(readBytes(target), (std::vector<std::uint8_t>{1, 2, 3}));

    // After OK the window goes on: another save succeeds.
    save(dir.file("free.hif"));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text(), "File saved to Harddrive");
}

TEST_F(ErrorReportingTest, ReadFailureNamesAnUnnamedFileAndTwoFailuresShowTwoBoxes) {
    StepsItemFileAccess<FaultInjectingFileSteps> failing;
    files = &failing;
    shownWindow();
    const std::string path = itemFile("x.itm", GameVariant::Diablo, 113);

    failing.steps().failAt(FileStep::Read, EIO);
    load(path);
    failing.steps().failAt(FileStep::Read, EIO);
    load(path);

    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& shown : messages.shown) {
        EXPECT_EQ(shown.text(), "A hardware I/O error was reported while accessing an unnamed file.");
        EXPECT_EQ(shown.message.icon, MessageIcon::Stop);
    }
    EXPECT_TRUE(window().isVisible());
}

// File access that runs out of memory, as an allocation deep inside a read would.
class ExhaustedFileAccess final : public ItemFileAccess {
public:
    void read(const std::string&, ItemFileImage&) override { throw std::bad_alloc(); }
    void write(const std::string&, const ItemFileImage&) override { throw std::bad_alloc(); }
};

TEST_F(ErrorReportingTest, OutOfMemoryIsShownWithTheExclamationIconAboveEverything) {
    ExhaustedFileAccess exhausted;
    files = &exhausted;
    shownWindow();
    load(dir.file("x.itm"));

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "Out of memory.");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(messages.shown[0].message.keepAbove);
    EXPECT_EQ(messages.shown[0].message.caption.toStdString(), "Relicwright");
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(loadButton()->isEnabled());
}

TEST_F(ErrorReportingTest, UnexpectedErrorsAreCaughtAsWell) {
    class Broken final : public ItemFileAccess {
    public:
        void read(const std::string&, ItemFileImage&) override { throw std::logic_error("broken"); }
        void write(const std::string&, const ItemFileImage&) override { throw 42; }
    } broken;
    files = &broken;
    shownWindow();
    load(dir.file("x.itm"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Stop);
    EXPECT_TRUE(window().isVisible());
}

TEST(QtWindowServices, OutOfMemoryWhileRefreshingTheFieldsIsShownLikeTheGuardShowsIt) {
    RecordingMessagePresenter messages;
    FakeFileDialogs dialogs;
    QWidget window;
    QLineEdit game(&window);
    QLineEdit item(&window);
    DispatchGuard guard(messages, QStringLiteral("Relicwright"), [&window] { return &window; });
    QtWindowServices services(window, dialogs, messages, guard, game, item);

    services.reportOutOfMemory();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text(), "Out of memory.");
    EXPECT_EQ(messages.shown[0].message.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(messages.shown[0].message.keepAbove);
    EXPECT_EQ(messages.shown[0].owner, &window);

    // The fields show the start of a text longer than they are wide.
    game.resize(40, game.sizeHint().height());
    services.setSourceGameField("Hellfire and a very long tail that does not fit");
    EXPECT_EQ(game.text().toStdString(), "Hellfire and a very long tail that does not fit");
    EXPECT_EQ(game.cursorPosition(), 0);
}

} // namespace
} // namespace relicwright::testing
