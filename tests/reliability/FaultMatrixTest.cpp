// Every file step of a load and a save failing with the errors that matter, driven through the
// workflow: the text shown, the path it names, the state left behind and the files on disk.
#include "WorkflowHarness.h"

#include "fuzz/ReferenceConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace relicwright::testing {
namespace {

// Message texts by cause, as the user reads them.
constexpr const char* kNotFound = "%1 was not found.";
constexpr const char* kInvalidPath = "%1 contains an invalid path.";
constexpr const char* kTooManyOpenFiles = "%1 could not be opened because there are too many open files.";
constexpr const char* kAccessDenied = "Access to %1 was denied.";
constexpr const char* kInvalidHandle = "An invalid file handle was associated with %1.";
constexpr const char* kHardware = "A hardware I/O error was reported while accessing %1.";
constexpr const char* kSharing = "A sharing violation occurred while accessing %1.";
constexpr const char* kLocking = "A locking violation occurred while accessing %1.";
constexpr const char* kDiskFull = "Disk full while accessing %1.";
constexpr const char* kUnknown = "An unknown error occurred while accessing %1.";

// Which path a message names: the one the dialog returned, none, or the file's resolved full path.
enum class Named { AsChosen, Unnamed, FullPath };

struct LoadFault {
    FileStep step;
    int error;
    const char* message; // nullptr: the step is retried or counts as done, and the load succeeds
    Named named;
};

std::string describe(FileStep step, int error) {
    return std::string(fileStepName(step)) + " errno " + std::to_string(error);
}

// A readable test name: the step, the error's name and the row number.
std::string rowName(FileStep step, int error, std::size_t index) {
    std::string name = fileStepName(step);
    std::replace(name.begin(), name.end(), ' ', '_');
    const char* errorName = error == 0 ? "0" : strerrorname_np(error);
    return name + "_" + (errorName != nullptr ? errorName : std::to_string(error)) + "_" +
           std::to_string(index);
}

void PrintTo(const LoadFault& row, std::ostream* out) {
    *out << describe(row.step, row.error);
}

class LoadFaults : public ::testing::TestWithParam<LoadFault> {};

TEST_P(LoadFaults, ReportTheirCauseAndLeaveTheWorkflowAsItWas) {
    const LoadFault& row = GetParam();
    SCOPED_TRACE(describe(row.step, row.error));
    ScratchDirectory dir;
    const std::string first = dir.file("first.itm");
    const std::string second = dir.file("second.hif");
    const Bytes secondBytes = itemFile(GameVariant::Hellfire, 77, 9);
    ScratchDirectory::writeBytes(first, itemFile(GameVariant::Diablo, 33, 1));
    ScratchDirectory::writeBytes(second, secondBytes);

    WorkflowHarness h;
    ASSERT_FALSE(h.load(first));
    ASSERT_EQ(h.window.itemField, "Dagger");
    const WorkflowSnapshot before(h);

    h.steps().failAt(row.step, row.error);
    const auto error = h.load(second);
    h.steps().disarm();

    if (row.message == nullptr) {
        ASSERT_FALSE(error) << error->message();
        EXPECT_EQ(h.converter.sharedImage(), fuzz::expectedImageAfterRead(secondBytes));
        EXPECT_EQ(h.window.sourceGameField, "Hellfire");
        EXPECT_EQ(h.window.itemField, "Amulet");
        return;
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), withPath(row.message, row.named == Named::AsChosen ? second : ""));
    EXPECT_EQ(error->platformCode(), row.error);
    // Nothing of the failed load shows: state, lists, selections, image and the window's fields.
    EXPECT_TRUE(WorkflowSnapshot(h) == before);
    EXPECT_EQ(h.window.sourceGameField, "Diablo");
    EXPECT_EQ(h.window.itemField, "Dagger");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"first.itm", "second.hif"}));
    EXPECT_EQ(ScratchDirectory::readBytes(second), secondBytes);

    // The window stays usable: the same file loads once the fault is gone.
    ASSERT_FALSE(h.load(second));
    EXPECT_EQ(h.window.sourceGameField, "Hellfire");
    EXPECT_EQ(h.window.itemField, "Amulet");
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, LoadFaults,
    ::testing::Values(LoadFault{FileStep::Open, ENOENT, kNotFound, Named::AsChosen},
                      LoadFault{FileStep::Open, EACCES, kAccessDenied, Named::AsChosen},
                      LoadFault{FileStep::Open, EMFILE, kTooManyOpenFiles, Named::AsChosen},
                      LoadFault{FileStep::Open, ENAMETOOLONG, kInvalidPath, Named::AsChosen},
                      LoadFault{FileStep::Open, EIO, kHardware, Named::AsChosen},
                      LoadFault{FileStep::Open, EXDEV, kUnknown, Named::AsChosen},
                      LoadFault{FileStep::Lock, EWOULDBLOCK, kSharing, Named::AsChosen},
                      LoadFault{FileStep::Lock, ENOLCK, kLocking, Named::AsChosen},
                      LoadFault{FileStep::Read, EIO, kHardware, Named::Unnamed},
                      LoadFault{FileStep::Read, EISDIR, kAccessDenied, Named::Unnamed},
                      LoadFault{FileStep::Read, EINTR, nullptr, Named::Unnamed},
                      LoadFault{FileStep::Close, EIO, kHardware, Named::Unnamed},
                      LoadFault{FileStep::Close, EBADF, kInvalidHandle, Named::Unnamed},
                      LoadFault{FileStep::Close, 0, nullptr, Named::Unnamed}),
    [](const ::testing::TestParamInfo<LoadFault>& row) {
        return rowName(row.param.step, row.param.error, row.index);
    });

struct SaveFault {
    bool targetExists;
    FileStep step;
    int occurrence; // for opens: 0 is the existing target, 1 the temporary file
    int error;
    const char* message; // nullptr: the save succeeds
    Named named;
    std::int32_t platformCode;
};

constexpr std::int32_t kSameAsError = 1000;

void PrintTo(const SaveFault& row, std::ostream* out) {
    *out << describe(row.step, row.error) << (row.targetExists ? " over an existing file" : " to a new file");
}

class SaveFaults : public ::testing::TestWithParam<SaveFault> {};

TEST_P(SaveFaults, ReportTheirCauseLeaveNoFileBehindAndKeepTheTarget) {
    const SaveFault& row = GetParam();
    SCOPED_TRACE(describe(row.step, row.error) +
                 (row.targetExists ? " over an existing file" : " to a new file"));
    ScratchDirectory dir;
    ::mkdir(dir.file("sub").c_str(), 0755);
    const std::string source = dir.file("source.itm");
    ScratchDirectory::writeBytes(source, itemFile(GameVariant::Diablo, 80, 3));
    // Chosen through "sub/.." so the path as chosen and the resolved full path differ.
    const std::string chosen = dir.file("sub/../out.hif");
    const std::string fullPath = realDirectory(dir.path()) + "/out.hif";
    const Bytes previous(400, 0x77);
    if (row.targetExists) {
        ScratchDirectory::writeBytes(dir.file("out.hif"), previous);
    }

    WorkflowHarness h;
    ASSERT_FALSE(h.load(source));
    h.itemList.setSelection(93); // "Brain (Novelty)": code and quality byte both change
    const auto expected = fuzz::expectedSave(h.converter.sharedImage(), "Diablo", h.itemList.selectedText(),
                                             "Hellfire", 93, true);
    ASSERT_EQ(expected.outcome, fuzz::ExpectedSave::Outcome::Written);
    const Bytes converted(expected.image.begin(), expected.image.end());
    const WorkflowSnapshot before(h);

    h.steps().failAt(row.step, row.error, row.occurrence);
    if (row.step == FileStep::RemoveTemporary) {
        // Removing the temporary file only happens after another step failed.
        h.steps().failAt(FileStep::Write, EIO);
        h.steps().alsoFailAt(FileStep::RemoveTemporary, row.error);
    }
    const auto error = h.save(chosen);
    h.steps().disarm();

    std::vector<std::string> expectedNames = {"source.itm", "sub"};
    if (row.message == nullptr) {
        ASSERT_FALSE(error) << error->message();
        EXPECT_EQ(h.window.messages, std::vector<std::string>{"File saved to Harddrive"});
        EXPECT_EQ(ScratchDirectory::readBytes(fullPath), converted);
        expectedNames.insert(expectedNames.begin(), "out.hif");
        EXPECT_EQ(dir.names(), expectedNames);
        return;
    }
    ASSERT_TRUE(error);
    const std::string named = row.named == Named::AsChosen   ? chosen
                              : row.named == Named::FullPath ? fullPath
                                                             : "";
    EXPECT_EQ(error->message(), withPath(row.message, named));
    EXPECT_EQ(error->platformCode(), row.platformCode == kSameAsError ? row.error : row.platformCode);

    // No success message, no refresh; the path chosen in this run is remembered.
    EXPECT_TRUE(h.window.messages.empty());
    EXPECT_EQ(h.window.fieldUpdates, before.fieldUpdates);
    EXPECT_EQ(h.converter.state().outputPath, chosen);
    EXPECT_EQ(h.converter.sharedImage(), before.image);
    EXPECT_EQ(h.itemList.entries(), before.items);
    EXPECT_EQ(h.targetList.entries(), before.targets);

    // The user's files: an existing target keeps its bytes, a new one is not created, nothing partial.
    if (row.targetExists) {
        EXPECT_EQ(ScratchDirectory::readBytes(fullPath), previous);
        expectedNames.insert(expectedNames.begin(), "out.hif");
    } else {
        EXPECT_FALSE(ScratchDirectory::readBytes(fullPath));
    }
    std::vector<std::string> names = dir.names();
    if (row.step == FileStep::RemoveTemporary) {
        // Nothing else can remove it: the temporary file stays, hidden, beside the target.
        const auto temporary = std::find_if(names.begin(), names.end(), [](const std::string& n) {
            return n.rfind(".relicwright-", 0) == 0;
        });
        ASSERT_NE(temporary, names.end());
        names.erase(temporary);
    }
    EXPECT_EQ(names, expectedNames);

    // The window stays usable: the same save succeeds once the fault is gone.
    ASSERT_FALSE(h.save(chosen));
    EXPECT_EQ(h.window.messages, std::vector<std::string>{"File saved to Harddrive"});
    EXPECT_EQ(ScratchDirectory::readBytes(fullPath), converted);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SaveFaults,
    ::testing::Values(
        SaveFault{true, FileStep::Open, 0, EACCES, kAccessDenied, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Open, 0, ENAMETOOLONG, kInvalidPath, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Open, 1, ENOSPC, kDiskFull, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Open, 1, EACCES, kAccessDenied, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Open, 1, EMFILE, kTooManyOpenFiles, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Lock, 0, EWOULDBLOCK, kSharing, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Lock, 0, ENOLCK, kLocking, Named::AsChosen, kSameAsError},
        SaveFault{true, FileStep::Write, 0, EIO, kHardware, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::Write, 0, ENOSPC, kDiskFull, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::Write, 0, 0, kDiskFull, Named::FullPath, -1},
        SaveFault{true, FileStep::Write, 0, EINTR, nullptr, Named::FullPath, 0},
        SaveFault{true, FileStep::ShortWrite, 0, 0, kDiskFull, Named::FullPath, -1},
        SaveFault{true, FileStep::Flush, 0, EIO, kHardware, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::Flush, 0, EDQUOT, kDiskFull, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::Close, 0, EIO, kHardware, Named::Unnamed, kSameAsError},
        SaveFault{true, FileStep::Close, 0, 0, nullptr, Named::Unnamed, 0},
        SaveFault{true, FileStep::Rename, 0, EACCES, kAccessDenied, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::Rename, 0, EXDEV, kUnknown, Named::FullPath, kSameAsError},
        SaveFault{true, FileStep::RemoveTemporary, 0, EACCES, kHardware, Named::FullPath, EIO},
        SaveFault{false, FileStep::Open, 0, EACCES, kAccessDenied, Named::AsChosen, kSameAsError},
        SaveFault{false, FileStep::Open, 1, EROFS, kAccessDenied, Named::AsChosen, kSameAsError},
        SaveFault{false, FileStep::Write, 0, ENOSPC, kDiskFull, Named::FullPath, kSameAsError},
        SaveFault{false, FileStep::ShortWrite, 0, 0, kDiskFull, Named::FullPath, -1},
        SaveFault{false, FileStep::Flush, 0, EIO, kHardware, Named::FullPath, kSameAsError},
        SaveFault{false, FileStep::Close, 0, EIO, kHardware, Named::Unnamed, kSameAsError},
        SaveFault{false, FileStep::Rename, 0, ENOSPC, kDiskFull, Named::FullPath, kSameAsError},
        SaveFault{false, FileStep::RemoveTemporary, 0, EIO, kHardware, Named::FullPath, EIO}),
    [](const ::testing::TestParamInfo<SaveFault>& row) {
        return std::string(row.param.targetExists ? "over_" : "new_") +
               rowName(row.param.step, row.param.error, row.index);
    });

} // namespace
} // namespace relicwright::testing
