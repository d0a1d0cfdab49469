#include "ItemFileIo.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace relicwright {
namespace {

using testing::bytesOf;
using testing::sampleImage;
using testing::ScratchDirectory;

TEST(FileError, ErrnoMeaningsMapOntoCauses) {
    using C = FileErrorCause;
    const std::tuple<int, C> rows[] = {
        {0, C::NoError},           {ENOENT, C::NotFound},          {ENAMETOOLONG, C::InvalidPath},
        {ENOTDIR, C::InvalidPath}, {EMFILE, C::TooManyOpenFiles},  {EACCES, C::AccessDenied},
        {EROFS, C::AccessDenied},  {EEXIST, C::AccessDenied},      {EBADF, C::InvalidHandle},
        {EIO, C::HardwareError},   {EWOULDBLOCK, C::SharingViolation}, {ENOLCK, C::LockingViolation},
        {ENOSPC, C::DiskFull},     {EDQUOT, C::DiskFull},          {ESPIPE, C::SeekFailed},
        {EINTR, C::OtherError},
    };
    for (const auto& [number, cause] : rows) {
        EXPECT_EQ(causeFromErrno(number), cause) << number;
    }
}

struct Refusal {
    const char* what;
    void (*prepare)(const std::string& path);
    FileErrorCause load;
    FileErrorCause save;
};

// Another program reading the file: a shared lock, which only an exclusive lock of ours conflicts with.
void lockByAnotherProgram(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);
}

class PosixRefusal : public ::testing::TestWithParam<Refusal> {};

// Neither loading nor saving touches a file that is in use, read-only or not a regular file, and a
// refused save leaves nothing behind.
TEST_P(PosixRefusal, KeepsTheFileAsItWas) {
    ScratchDirectory dir;
    const ItemFileImage old = sampleImage(GameVariant::Diablo, 50);
    const std::string path = dir.write("x.itm", old);
    GetParam().prepare(path);
    const auto before = dir.names();
    ItemFileImage image{};
    for (const bool save : {false, true}) {
        const FileErrorCause expected = save ? GetParam().save : GetParam().load;
        try {
            save ? writeItemFile(platformFileSteps(), path, sampleImage(GameVariant::Diablo, 51))
                 : (void)readItemFile(platformFileSteps(), path, image);
            EXPECT_EQ(expected, FileErrorCause::NoError) << (save ? "saved" : "loaded");
        } catch (const FileError& error) {
            EXPECT_EQ(error.cause(), expected);
            EXPECT_EQ(error.path(), path);
        }
    }
    EXPECT_EQ(dir.names(), before);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        EXPECT_EQ(dir.read("x.itm"), bytesOf(old));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, PosixRefusal,
    ::testing::Values(
        Refusal{"locked", lockByAnotherProgram, FileErrorCause::SharingViolation, FileErrorCause::SharingViolation},
        Refusal{"readonly", [](const std::string& p) { ::chmod(p.c_str(), 0444); }, FileErrorCause::NoError,
                FileErrorCause::AccessDenied},
        Refusal{"directory",
                [](const std::string& p) {
                    ::unlink(p.c_str());
                    ::mkdir(p.c_str(), 0755);
                },
                FileErrorCause::AccessDenied, FileErrorCause::AccessDenied},
        Refusal{"fifo",
                [](const std::string& p) {
                    ::unlink(p.c_str());
                    ::mkfifo(p.c_str(), 0644);
                },
                FileErrorCause::AccessDenied, FileErrorCause::AccessDenied}),
    [](const auto& row) { return std::string(row.param.what); });

// A chain of two relative links: the file at its end is replaced, with its permissions; links stay.
TEST(PosixSave, ReplacesTheFileAChainOfLinksPointsToAndKeepsTheLinksAndItsPermissions) {
    ScratchDirectory dir;
    const std::string real = dir.write("real.hif", sampleImage(GameVariant::Hellfire, 1));
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::mkdir(dir.path("chain").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("../real.hif", dir.path("chain/middle.hif").c_str()), 0);
    ASSERT_EQ(::symlink("chain/middle.hif", dir.path("link.hif").c_str()), 0);
    writeItemFile(platformFileSteps(), dir.path("link.hif"), sampleImage(GameVariant::Hellfire, 2));
    struct stat info {};
    for (const char* link : {"link.hif", "chain/middle.hif"}) {
        ASSERT_EQ(::lstat(dir.path(link).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
    }
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.read("real.hif"), bytesOf(sampleImage(GameVariant::Hellfire, 2)));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"chain", "link.hif", "real.hif"}));
}

// A dangling link exists (a save would write where it points); a name under a file does not.
TEST(PosixFiles, ExistsSeesADanglingLinkAndNothingUnderAFile) {
    ScratchDirectory dir;
    ASSERT_EQ(::symlink("nowhere.hif", dir.path("dangling.hif").c_str()), 0);
    const std::string file = dir.write("a.hif", std::vector<std::uint8_t>{1});
    for (const auto& [path, there] : {std::pair{dir.path("dangling.hif"), true}, {file, true},
                                      {file + "/b.hif", false}, {dir.path("none/b.hif"), false}}) {
        bool found = !there;
        EXPECT_EQ(platformFileSteps().exists(path, found), 0) << path;
        EXPECT_EQ(found, there) << path;
    }
}

// The next save sweeps a killed save's unheld leftover, never a user's file that looks alike.
TEST(PosixSave, SweepsOnlyItsOwnUnheldLeftovers) {
    ScratchDirectory dir;
    const std::vector<std::uint8_t> bytes(400, 1);
    const std::vector<std::string> kept{".hidden.tmp", ".relicwright-1-0badf00d-2.tmp.bak",
                                        ".relicwright-9-0badf00d-3.tmp", ".relicwright-notes.tmp", "notes.tmp"};
    for (const auto& name : kept) {
        dir.write(name, bytes);
    }
    dir.write(".relicwright-8-0badf00d-1.tmp", bytes);
    const int held = ::open(dir.path(".relicwright-9-0badf00d-3.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    writeItemFile(platformFileSteps(), dir.path("a.itm"), sampleImage(GameVariant::Diablo, 1));
    ::close(held);
    auto expected = kept;
    expected.push_back("a.itm");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.names(), expected);
}

} // namespace
} // namespace relicwright
