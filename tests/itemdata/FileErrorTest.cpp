#include "itemdata/FileError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace relicwright {
namespace {

std::string message(FileErrorCause cause, const std::string& path) {
    return FileError(cause, 0, path).message();
}

TEST(FileErrorMessage, NamesThePathOrAnUnnamedFile) {
    EXPECT_EQ(message(FileErrorCause::NotFound, "/tmp/a.itm"), "/tmp/a.itm was not found.");
    EXPECT_EQ(message(FileErrorCause::AccessDenied, ""), "Access to an unnamed file was denied.");
    EXPECT_EQ(message(FileErrorCause::SharingViolation, "x.hif"),
              "A sharing violation occurred while accessing x.hif.");
    EXPECT_EQ(message(FileErrorCause::DiskFull, "/d/o.hif"), "Disk full while accessing /d/o.hif.");
    EXPECT_EQ(message(FileErrorCause::NoError, "x"), "No error occurred.");
}

TEST(FileErrorMessage, EveryCauseButSeekFailedEndsWithAFullStop) {
    for (int cause = 0; cause <= 14; ++cause) {
        const std::string text = message(static_cast<FileErrorCause>(cause), "p");
        ASSERT_FALSE(text.empty());
        if (cause == 9) {
            EXPECT_EQ(text, "Seek failed on p");
        } else {
            EXPECT_EQ(text.back(), '.') << cause;
        }
        if (cause != 0) {
            EXPECT_NE(text.find('p'), std::string::npos) << cause;
            EXPECT_EQ(text.find("%1"), std::string::npos) << cause;
        }
    }
}

TEST(FileErrorMessage, PathTextIsInsertedOnceAndNeverRescanned) {
    EXPECT_EQ(message(FileErrorCause::OtherError, "/tmp/%1/%1.itm"),
              "An unknown error occurred while accessing /tmp/%1/%1.itm.");
    EXPECT_EQ(message(FileErrorCause::NotFound, "<b>x</b>.itm"), "<b>x</b>.itm was not found.");
}

TEST(FileErrorMessage, LongMessagesAreCutTo511Characters) {
    const std::string path(600, 'a');
    const std::string text = message(FileErrorCause::NotFound, path);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text, path.substr(0, 511));
    // Just under the limit nothing is cut.
    const std::string shorter(511 - std::string(" was not found.").size(), 'b');
    EXPECT_EQ(message(FileErrorCause::NotFound, shorter), shorter + " was not found.");
}

TEST(FileError, CarriesCauseCodeAndPath) {
    const FileError error(FileErrorCause::DiskFull, kShortWriteCode, "/x/y.itm");
    EXPECT_EQ(error.cause(), FileErrorCause::DiskFull);
    EXPECT_EQ(error.platformCode(), -1);
    EXPECT_EQ(error.path(), "/x/y.itm");
    EXPECT_STREQ(error.what(), "Disk full while accessing /x/y.itm.");
}

TEST(CauseFromErrno, FollowsTheMeaningOfEachError) {
    EXPECT_EQ(causeFromErrno(0), FileErrorCause::NoError);
    EXPECT_EQ(causeFromErrno(ENOENT), FileErrorCause::NotFound);
    EXPECT_EQ(causeFromErrno(ENOTDIR), FileErrorCause::InvalidPath);
    EXPECT_EQ(causeFromErrno(ENAMETOOLONG), FileErrorCause::InvalidPath);
    EXPECT_EQ(causeFromErrno(ELOOP), FileErrorCause::InvalidPath);
    EXPECT_EQ(causeFromErrno(EMFILE), FileErrorCause::TooManyOpenFiles);
    EXPECT_EQ(causeFromErrno(ENFILE), FileErrorCause::TooManyOpenFiles);
    EXPECT_EQ(causeFromErrno(EACCES), FileErrorCause::AccessDenied);
    EXPECT_EQ(causeFromErrno(EROFS), FileErrorCause::AccessDenied);
    EXPECT_EQ(causeFromErrno(EISDIR), FileErrorCause::AccessDenied);
    EXPECT_EQ(causeFromErrno(EBADF), FileErrorCause::InvalidHandle);
    EXPECT_EQ(causeFromErrno(EWOULDBLOCK), FileErrorCause::SharingViolation);
    EXPECT_EQ(causeFromErrno(ENOLCK), FileErrorCause::LockingViolation);
    EXPECT_EQ(causeFromErrno(ENOSPC), FileErrorCause::DiskFull);
#ifdef EDQUOT
    EXPECT_EQ(causeFromErrno(EDQUOT), FileErrorCause::DiskFull);
#endif
    EXPECT_EQ(causeFromErrno(EIO), FileErrorCause::HardwareError);
    EXPECT_EQ(causeFromErrno(ESPIPE), FileErrorCause::SeekFailed);
    EXPECT_EQ(causeFromErrno(EPROTO), FileErrorCause::OtherError);
    EXPECT_EQ(causeFromErrno(123456), FileErrorCause::OtherError);
}

// Windows' own names for its error codes, as its headers define them.
TEST(CauseFromWin32Error, FollowsWindowsErrorCodes) {
    const struct {
        int code;
        FileErrorCause cause;
    } rows[] = {
        {0, FileErrorCause::NoError},
        {2 /*FILE_NOT_FOUND*/, FileErrorCause::NotFound},
        {18 /*NO_MORE_FILES*/, FileErrorCause::NotFound},
        {3 /*PATH_NOT_FOUND*/, FileErrorCause::InvalidPath},
        {123 /*INVALID_NAME*/, FileErrorCause::InvalidPath},
        {206 /*FILENAME_EXCED_RANGE*/, FileErrorCause::InvalidPath},
        {267 /*DIRECTORY*/, FileErrorCause::InvalidPath},
        {4 /*TOO_MANY_OPEN_FILES*/, FileErrorCause::TooManyOpenFiles},
        {5 /*ACCESS_DENIED*/, FileErrorCause::AccessDenied},
        {19 /*WRITE_PROTECT*/, FileErrorCause::AccessDenied},
        {80 /*FILE_EXISTS*/, FileErrorCause::AccessDenied},
        {183 /*ALREADY_EXISTS*/, FileErrorCause::AccessDenied},
        {16 /*CURRENT_DIRECTORY*/, FileErrorCause::IsCurrentDirectory},
        {25 /*SEEK*/, FileErrorCause::SeekFailed},
        {21 /*NOT_READY*/, FileErrorCause::HardwareError},
        {23 /*CRC*/, FileErrorCause::HardwareError},
        {32 /*SHARING_VIOLATION*/, FileErrorCause::SharingViolation},
        {33 /*LOCK_VIOLATION*/, FileErrorCause::LockingViolation},
        {39 /*HANDLE_DISK_FULL*/, FileErrorCause::DiskFull},
        {112 /*DISK_FULL*/, FileErrorCause::DiskFull},
        {38 /*HANDLE_EOF*/, FileErrorCause::PastEnd},
        {1 /*INVALID_FUNCTION*/, FileErrorCause::OtherError},
        {8 /*NOT_ENOUGH_MEMORY*/, FileErrorCause::OtherError},
        {87 /*INVALID_PARAMETER*/, FileErrorCause::OtherError},
        {1392 /*FILE_CORRUPT*/, FileErrorCause::OtherError},
        {-1, FileErrorCause::OtherError},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(causeFromWin32Error(row.code), row.cause) << row.code;
    }
}

} // namespace
} // namespace relicwright
