#include "ItemFileIo.h"
#include "FaultInjectingFileSteps.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace relicwright {
namespace {

using testing::bytesOf;
using testing::FaultInjectingFileSteps;
using testing::sampleImage;
using testing::ScratchDirectory;
using Step = FaultInjectingFileSteps::Step;

enum class PathShown { AsGiven, Full, None };
enum class OnDisk { Old, New };

struct Fault {
    Step step;
    int error;
    PathShown path;
    OnDisk left; // for a save over an existing file
};

class FileStepFault : public ::testing::TestWithParam<Fault> {};

// The step's read or save fails with its error, naming the step's path, and leaves nothing half done.
TEST_P(FileStepFault, IsReportedWithItsPathAndLeavesNoPartialFile) {
    const Fault fault = GetParam();
    ScratchDirectory dir;
    FaultInjectingFileSteps steps;
    steps.failing = fault.step;
    steps.error = fault.error;
    const ItemFileImage oldImage = sampleImage(GameVariant::Diablo, 113, 1, 1);
    const ItemFileImage newImage = sampleImage(GameVariant::Diablo, 114, 2, 2);
    dir.write("old.itm", oldImage);
    // Through "sub/..", so the path as given and the full path differ.
    std::filesystem::create_directory(dir.path("sub"));
    const std::string path = dir.path("sub/../old.itm");
    ItemFileImage image = newImage;
    std::optional<FileError> error;
    try {
        fault.step <= Step::Close ? (void)readItemFile(steps, path, image)
                                  : writeItemFile(steps, path, newImage);
    } catch (const FileError& raised) {
        error = raised;
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(steps.calls, 1);
    const bool shortWrite = fault.step == Step::ShortWrite;
    EXPECT_EQ(error->cause(), shortWrite ? FileErrorCause::DiskFull : steps.causeOf(fault.error));
    EXPECT_EQ(error->platformCode(), shortWrite ? kShortWriteCode : fault.error);
    const std::string expectedPath = fault.path == PathShown::AsGiven ? path
                                     : fault.path == PathShown::Full  ? steps.fullPath(path)
                                                                      : std::string();
    EXPECT_EQ(error->path(), expectedPath);
    // A failed read leaves the image as it was; a failed save leaves the old file or the whole new one.
    EXPECT_EQ(image, newImage);
    EXPECT_EQ(dir.read("old.itm"), bytesOf(fault.left == OnDisk::Old ? oldImage : newImage));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"old.itm", "sub"}));
    EXPECT_NE(steps.fullPath(path), path);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, FileStepFault,
    ::testing::Values(Fault{Step::Open, ENOENT, PathShown::AsGiven, OnDisk::Old},
                      Fault{Step::Read, EIO, PathShown::None, OnDisk::Old},
                      Fault{Step::Close, EIO, PathShown::None, OnDisk::Old},
                      Fault{Step::Claim, EACCES, PathShown::AsGiven, OnDisk::Old},
                      Fault{Step::Create, ENOSPC, PathShown::AsGiven, OnDisk::Old},
                      Fault{Step::Write, EIO, PathShown::Full, OnDisk::Old},
                      Fault{Step::ShortWrite, 0, PathShown::Full, OnDisk::Old},
                      Fault{Step::Flush, EIO, PathShown::Full, OnDisk::Old},
                      Fault{Step::Commit, EIO, PathShown::Full, OnDisk::Old},
                      Fault{Step::FlushDirectory, EIO, PathShown::Full, OnDisk::New}));

TEST(ItemFileIo, ReadsTheFirst400BytesAndZeroFillsShortFiles) {
    ScratchDirectory dir;
    FileSteps& steps = platformFileSteps();
    std::vector<std::uint8_t> long1000(1000, 0xAB);
    ItemFileImage image{};
    EXPECT_EQ(readItemFile(steps, dir.write("long.itm", long1000), image), 1000u);
    EXPECT_EQ(bytesOf(image), std::vector<std::uint8_t>(400, 0xAB));
    // A short file after a full one must not carry the earlier file's bytes into a later save.
    EXPECT_EQ(readItemFile(steps, dir.write("short.itm", std::vector<std::uint8_t>(100, 0x11)), image), 100u);
    std::vector<std::uint8_t> expected(400, 0);
    std::fill_n(expected.begin(), 100, 0x11);
    EXPECT_EQ(bytesOf(image), expected);
    // A read failure reported with error number 0 counts as the end of the file.
    testing::FaultInjectingFileSteps quiet;
    quiet.failing = Step::Read;
    EXPECT_NO_THROW(readItemFile(quiet, dir.path("long.itm"), image));
}

TEST(ItemFileIo, ATargetThatBecomesAFolderMeanwhileIsKeptAndNothingIsLeft) {
    ScratchDirectory dir;
    testing::FaultInjectingFileSteps steps;
    steps.beforeCommit = [](const std::string& target) {
        std::filesystem::remove(target);
        std::filesystem::create_directories(target + "/inside");
    };
    EXPECT_THROW(writeItemFile(steps, dir.write("a.itm", sampleImage(GameVariant::Diablo, 1)),
                               sampleImage(GameVariant::Diablo, 2)),
                 FileError);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.itm"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("a.itm/inside")));
}

TEST(ItemFileIo, KeepNeverReplacesAndReplaceDoesDurably) {
    ScratchDirectory dir;
    FaultInjectingFileSteps steps;
    const std::string path = dir.write("a.hif", sampleImage(GameVariant::Hellfire, 1));
    const ItemFileImage image = sampleImage(GameVariant::Hellfire, 2);
    EXPECT_THROW(writeItemFile(steps, path, image, ExistingFile::Keep), FileError);
    EXPECT_EQ(dir.read("a.hif"), bytesOf(sampleImage(GameVariant::Hellfire, 1)));
    writeItemFile(steps, path, image);
    writeItemFile(steps, dir.path("b.hif"), image, ExistingFile::Keep);
    EXPECT_EQ(dir.read("a.hif"), bytesOf(image));
    EXPECT_EQ(dir.read("b.hif"), bytesOf(image));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.hif", "b.hif"}));
    // The name is in place before its folder is flushed, and the save ends only after that.
    for (const auto& [name, existing] :
         {std::pair{"a.hif", ExistingFile::Replace}, {"c.hif", ExistingFile::Keep}}) {
        steps.taken.clear();
        writeItemFile(steps, dir.path(name), image, existing);
        EXPECT_EQ(steps.taken, (std::vector<Step>{Step::Claim, Step::Create, Step::Write, Step::Flush,
                                                  Step::Commit, Step::FlushDirectory}));
    }
}

} // namespace
} // namespace relicwright
