#include "itemdata/ItemFileIo.h"

#include "tests/support/FaultInjectingFileSteps.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace relicwright {
namespace {

using testing::FaultInjectingFileSteps;
using testing::FileStep;
using testing::readBytes;
using testing::sampleImage;
using testing::TempDir;
using testing::toBytes;
using testing::writeBytes;

std::vector<std::uint8_t> patterned(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
    }
    return bytes;
}

// Holds an exclusive lock on a file the way another program would: its own open file.
class OtherProgramLock {
public:
    explicit OtherProgramLock(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            throw std::runtime_error("cannot lock " + path);
        }
    }
    ~OtherProgramLock() { ::close(fd_); }

private:
    int fd_;
};

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

FileError captureError(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileError& error) {
        return error;
    }
    ADD_FAILURE() << "no FileError was raised";
    return FileError(FileErrorCause::NoError, 0, "");
}

TEST(ReadItemFile, TakesTheFirst400BytesAndZeroFillsAShortFile) {
    TempDir dir;
    const auto full = patterned(1000, 5);
    writeBytes(dir.file("long.itm"), full);
    writeBytes(dir.file("short.itm"), patterned(100, 9));
    writeBytes(dir.file("empty.itm"), {});

    ItemFileImage image{};
    readItemFile(dir.file("long.itm"), image);
    EXPECT_EQ(toBytes(image), std::vector<std::uint8_t>(full.begin(), full.begin() + 400));

    // A shorter file never leaves the previous file's bytes behind.
    readItemFile(dir.file("short.itm"), image);
    auto expected = patterned(100, 9);
    expected.resize(400, 0);
    EXPECT_EQ(toBytes(image), expected);

    readItemFile(dir.file("long.itm"), image);
    readItemFile(dir.file("empty.itm"), image);
    EXPECT_EQ(toBytes(image), std::vector<std::uint8_t>(400, 0));
}

TEST(ReadItemFile, RefusesWhatIsNotARegularFileAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("folder.itm").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(dir.file("pipe.itm").c_str(), 0644), 0);
    ItemFileImage image = sampleImage(GameVariant::Diablo, 50);
    const ItemFileImage before = image;
    for (const std::string name : {"folder.itm", "pipe.itm"}) {
        const auto start = std::chrono::steady_clock::now();
        const FileError error = captureError([&] { readItemFile(dir.file(name), image); });
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "hung on " << name;
        EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied) << name;
        EXPECT_EQ(error.path(), dir.file(name));
    }
    EXPECT_EQ(image, before);
}

TEST(ReadItemFile, MissingFilesAndFoldersNameThePathAsGiven) {
    TempDir dir;
    ItemFileImage image{};
    const std::string missing = dir.file("nothing.itm");
    FileError error = captureError([&] { readItemFile(missing, image); });
    EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
    EXPECT_EQ(error.path(), missing);
    EXPECT_EQ(error.message(), missing + " was not found.");

    writeBytes(dir.file("plain"), {1, 2, 3});
    error = captureError([&] { readItemFile(dir.file("plain/inside.itm"), image); });
    EXPECT_EQ(error.cause(), FileErrorCause::InvalidPath);
}

TEST(ReadItemFile, AFileLockedByAnotherProgramIsASharingViolation) {
    TempDir dir;
    writeBytes(dir.file("held.hif"), patterned(400, 1));
    ItemFileImage image{};
    {
        OtherProgramLock lock(dir.file("held.hif"));
        const FileError error = captureError([&] { readItemFile(dir.file("held.hif"), image); });
        EXPECT_EQ(error.cause(), FileErrorCause::SharingViolation);
        EXPECT_EQ(error.platformCode(), EWOULDBLOCK);
        EXPECT_EQ(error.path(), dir.file("held.hif"));
        EXPECT_EQ(image, ItemFileImage{});
    }
    // Released, it reads; and our own lock is gone once the read is over.
    readItemFile(dir.file("held.hif"), image);
    EXPECT_NO_THROW(OtherProgramLock again(dir.file("held.hif")));
}

TEST(WriteItemFile, CreatesA400ByteFileWithTheUsualModeAndNothingElse) {
    TempDir dir;
    const ItemFileImage image = sampleImage(GameVariant::Hellfire, 118);
    writeItemFile(dir.file("new.hif"), image);
    EXPECT_EQ(readBytes(dir.file("new.hif")), toBytes(image));
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("new.hif").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~currentUmask());
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"new.hif"});
}

TEST(WriteItemFile, ReplacesAnExistingFileKeepingItsPermissions) {
    TempDir dir;
    writeBytes(dir.file("old.itm"), patterned(1000, 4));
    ASSERT_EQ(::chmod(dir.file("old.itm").c_str(), 0640), 0);
    const ItemFileImage image = sampleImage(GameVariant::Diablo, 151);
    writeItemFile(dir.file("old.itm"), image);
    EXPECT_EQ(readBytes(dir.file("old.itm")), toBytes(image));
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("old.itm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.itm"});
}

TEST(WriteItemFile, RefusesReadOnlyLockedAndNonRegularTargetsKeepingTheirBytes) {
    TempDir dir;
    const auto oldBytes = patterned(400, 8);
    writeBytes(dir.file("readonly.itm"), oldBytes);
    ASSERT_EQ(::chmod(dir.file("readonly.itm").c_str(), 0444), 0);
    writeBytes(dir.file("locked.itm"), oldBytes);
    ASSERT_EQ(::mkdir(dir.file("folder.itm").c_str(), 0755), 0);
    const ItemFileImage image = sampleImage(GameVariant::Diablo, 50);

    FileError error = captureError([&] { writeItemFile(dir.file("readonly.itm"), image); });
    EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    EXPECT_EQ(error.message(), "Access to " + dir.file("readonly.itm") + " was denied.");
    EXPECT_EQ(readBytes(dir.file("readonly.itm")), oldBytes);

    {
        OtherProgramLock lock(dir.file("locked.itm"));
        error = captureError([&] { writeItemFile(dir.file("locked.itm"), image); });
        EXPECT_EQ(error.cause(), FileErrorCause::SharingViolation);
        EXPECT_EQ(error.path(), dir.file("locked.itm"));
    }
    EXPECT_EQ(readBytes(dir.file("locked.itm")), oldBytes);

    error = captureError([&] { writeItemFile(dir.file("folder.itm"), image); });
    EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    ASSERT_EQ(::mkfifo(dir.file("pipe.itm").c_str(), 0644), 0);
    error = captureError([&] { writeItemFile(dir.file("pipe.itm"), image); });
    EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    EXPECT_EQ(error.path(), dir.file("pipe.itm"));

    error = captureError([&] { writeItemFile(dir.file("missing/out.itm"), image); });
    EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
    EXPECT_EQ(error.path(), dir.file("missing/out.itm"));

    EXPECT_EQ(dir.entries(),
              (std::vector<std::string>{"folder.itm", "locked.itm", "pipe.itm", "readonly.itm"}));
}

TEST(WriteItemFile, FollowsSymbolicLinksAndReplacesWhatTheyPointTo) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
    writeBytes(dir.file("real/item.itm"), patterned(400, 2));
    ASSERT_EQ(::symlink("real/item.itm", dir.file("link.itm").c_str()), 0);
    ASSERT_EQ(::symlink("real/later.itm", dir.file("dangling.itm").c_str()), 0);
    const ItemFileImage image = sampleImage(GameVariant::Diablo, 120);

    writeItemFile(dir.file("link.itm"), image);
    writeItemFile(dir.file("dangling.itm"), image);

    struct stat info {};
    ASSERT_EQ(::lstat(dir.file("link.itm").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::lstat(dir.file("dangling.itm").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readBytes(dir.file("real/item.itm")), toBytes(image));
    EXPECT_EQ(readBytes(dir.file("real/later.itm")), toBytes(image));
    EXPECT_EQ(TempDir::entriesOf(dir.file("real")), (std::vector<std::string>{"item.itm", "later.itm"}));
}

TEST(WriteItemFile, KeepingExistingFilesRefusesThemEvenWhenTheyAppearDuringTheSave) {
    TempDir dir;
    const ItemFileImage image = sampleImage(GameVariant::Diablo, 120);
    writeItemFile(dir.file("new.itm"), image, ExistingFile::Keep);
    EXPECT_EQ(readBytes(dir.file("new.itm")), toBytes(image));

    const auto theirs = patterned(400, 7);
    writeBytes(dir.file("theirs.itm"), theirs);
    FileError error = captureError([&] { writeItemFile(dir.file("theirs.itm"), image, ExistingFile::Keep); });
    EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    EXPECT_EQ(error.platformCode(), EEXIST);
    EXPECT_EQ(readBytes(dir.file("theirs.itm")), theirs);

    // Another program creates the file while our bytes are being written.
    struct RacingSteps : PosixFileSteps {
        std::string target;
        std::vector<std::uint8_t> bytes;
        ssize_t write(int fd, const void* buffer, std::size_t size) {
            writeBytes(target, bytes);
            return PosixFileSteps::write(fd, buffer, size);
        }
    };
    RacingSteps steps;
    steps.target = dir.file("late.itm");
    steps.bytes = theirs;
    error = captureError([&] { writeItemFileWith(steps, dir.file("late.itm"), image, ExistingFile::Keep); });
    EXPECT_EQ(error.cause(), FileErrorCause::AccessDenied);
    EXPECT_EQ(error.platformCode(), EEXIST);
    EXPECT_EQ(readBytes(dir.file("late.itm")), theirs);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"late.itm", "new.itm", "theirs.itm"}));
}

// Every step of a read failing: the error names the right cause and path, and the image is kept.
TEST(ReadItemFileFaults, EachStepReportsItsCauseAndPath) {
    TempDir dir;
    writeBytes(dir.file("in.itm"), patterned(400, 6));
    const std::string path = dir.file("in.itm");
    struct Case {
        FileStep step;
        int error;
        FileErrorCause cause;
        bool namesPath;
    };
    const Case cases[] = {
        {FileStep::Open, EACCES, FileErrorCause::AccessDenied, true},
        {FileStep::Open, EMFILE, FileErrorCause::TooManyOpenFiles, true},
        {FileStep::Lock, EWOULDBLOCK, FileErrorCause::SharingViolation, true},
        {FileStep::Read, EIO, FileErrorCause::HardwareError, false},
        {FileStep::Close, EIO, FileErrorCause::HardwareError, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::fileStepName(c.step));
        FaultInjectingFileSteps steps;
        steps.failAt(c.step, c.error);
        ItemFileImage image = sampleImage(GameVariant::Hellfire, 12);
        const ItemFileImage before = image;
        const FileError error = captureError([&] { readItemFileWith(steps, path, image); });
        EXPECT_EQ(error.cause(), c.cause);
        EXPECT_EQ(error.platformCode(), c.error);
        EXPECT_EQ(error.path(), c.namesPath ? path : "");
        EXPECT_EQ(image, before);
    }
    // A failure the system reports with error number 0 counts as done.
    FaultInjectingFileSteps steps;
    steps.failAt(FileStep::Close, 0);
    ItemFileImage image{};
    readItemFileWith(steps, path, image);
    EXPECT_EQ(toBytes(image), patterned(400, 6));
}

// Every step of a save failing: the right cause, code and path, no file left behind, and an
// existing target keeps its bytes.
TEST(WriteItemFileFaults, EachStepReportsItsCauseLeavesNoFileAndKeepsTheTarget) {
    TempDir dir;
    const auto oldBytes = patterned(400, 3);
    const ItemFileImage image = sampleImage(GameVariant::Hellfire, 130);
    struct Case {
        FileStep step;
        int error;
        int occurrence;
        FileErrorCause cause;
        std::int32_t code;
        enum { Given, Resolved, None } path;
    };
    const Case cases[] = {
        {FileStep::Open, EACCES, 0, FileErrorCause::AccessDenied, EACCES, Case::Given},
        {FileStep::Open, ENOSPC, 1, FileErrorCause::DiskFull, ENOSPC, Case::Given},
        {FileStep::Lock, EWOULDBLOCK, 0, FileErrorCause::SharingViolation, EWOULDBLOCK, Case::Given},
        {FileStep::Write, ENOSPC, 0, FileErrorCause::DiskFull, ENOSPC, Case::Resolved},
        {FileStep::Write, EIO, 0, FileErrorCause::HardwareError, EIO, Case::Resolved},
        {FileStep::ShortWrite, 0, 0, FileErrorCause::DiskFull, -1, Case::Resolved},
        {FileStep::Flush, EIO, 0, FileErrorCause::HardwareError, EIO, Case::Resolved},
        {FileStep::Close, EDQUOT, 0, FileErrorCause::DiskFull, EDQUOT, Case::None},
        {FileStep::Rename, EACCES, 0, FileErrorCause::AccessDenied, EACCES, Case::Resolved},
    };
    for (const bool existing : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(testing::fileStepName(c.step)) +
                         (existing ? " over a file" : " new file"));
            if (c.step == FileStep::Lock && !existing) {
                continue; // only an existing target is locked
            }
            const std::string path = dir.file("sub/../out.hif");
            if (existing) {
                writeBytes(dir.file("out.hif"), oldBytes);
            }
            ::mkdir(dir.file("sub").c_str(), 0755);
            FaultInjectingFileSteps steps;
            // The first open is of the target (missing when new), the second of the temporary file.
            steps.failAt(c.step, c.error, c.occurrence);
            const FileError error = captureError([&] { writeItemFileWith(steps, path, image); });
            EXPECT_EQ(error.cause(), c.cause);
            EXPECT_EQ(error.platformCode(), c.code);
            const std::string expectedPath = c.path == Case::Given      ? path
                                             : c.path == Case::Resolved ? dir.file("out.hif")
                                                                        : "";
            EXPECT_EQ(error.path(), expectedPath);
            if (existing) {
                EXPECT_EQ(readBytes(dir.file("out.hif")), oldBytes);
                EXPECT_EQ(dir.entries(), (std::vector<std::string>{"out.hif", "sub"}));
            } else {
                EXPECT_EQ(dir.entries(), std::vector<std::string>{"sub"});
            }
            std::filesystem::remove(dir.file("out.hif"));
        }
    }
}

TEST(WriteItemFileFaults, ResolvedPathFollowsLinksToTheRealDirectory) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("real").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("real", dir.file("alias").c_str()), 0);
    FaultInjectingFileSteps steps;
    steps.failAt(FileStep::ShortWrite, 0);
    const FileError error = captureError(
        [&] { writeItemFileWith(steps, dir.file("alias/x.itm"), sampleImage(GameVariant::Diablo, 1)); });
    EXPECT_EQ(error.cause(), FileErrorCause::DiskFull);
    char resolved[PATH_MAX];
    ASSERT_NE(::realpath(dir.file("real").c_str(), resolved), nullptr);
    EXPECT_EQ(error.path(), std::string(resolved) + "/x.itm");
    EXPECT_TRUE(TempDir::entriesOf(dir.file("real")).empty());
}

} // namespace
} // namespace relicwright
