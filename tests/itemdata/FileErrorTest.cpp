#include "FileError.h"

#include <gtest/gtest.h>

#include <tuple>

namespace relicwright {
namespace {

// Windows' system error codes, by their names in its winerror.h.
TEST(FileError, Win32ErrorCodesMapOntoCauses) {
    using C = FileErrorCause;
    const std::tuple<int, C> rows[] = {
        {0, C::NoError},                  {2 /*FILE_NOT_FOUND*/, C::NotFound},
        {3 /*PATH_NOT_FOUND*/, C::InvalidPath}, {123 /*INVALID_NAME*/, C::InvalidPath},
        {206 /*FILENAME_EXCED_RANGE*/, C::InvalidPath}, {1113 /*NO_UNICODE_TRANSLATION*/, C::InvalidPath},
        {4 /*TOO_MANY_OPEN_FILES*/, C::TooManyOpenFiles},
        {5 /*ACCESS_DENIED*/, C::AccessDenied}, {19 /*WRITE_PROTECT*/, C::AccessDenied},
        {80 /*FILE_EXISTS*/, C::AccessDenied}, {183 /*ALREADY_EXISTS*/, C::AccessDenied},
        {16 /*CURRENT_DIRECTORY*/, C::IsCurrentDirectory}, {25 /*SEEK*/, C::SeekFailed},
        {21 /*NOT_READY*/, C::HardwareError}, {23 /*CRC*/, C::HardwareError},
        {32 /*SHARING_VIOLATION*/, C::SharingViolation}, {33 /*LOCK_VIOLATION*/, C::LockingViolation},
        {112 /*DISK_FULL*/, C::DiskFull}, {38 /*HANDLE_EOF*/, C::PastEnd},
        {1 /*INVALID_FUNCTION*/, C::OtherError}, {8 /*NOT_ENOUGH_MEMORY*/, C::OtherError},
        {87 /*INVALID_PARAMETER*/, C::OtherError}, {1392 /*FILE_CORRUPT*/, C::OtherError},
    };
    for (const auto& [number, cause] : rows) {
        EXPECT_EQ(causeFromWin32Error(number), cause) << number;
    }
}

TEST(FileError, MessagesNameThePathOnceAndAreCut) {
    using C = FileErrorCause;
    EXPECT_EQ(FileError(C::AccessDenied, 5, "/x/%1.itm").message(), "Access to /x/%1.itm was denied.");
    EXPECT_EQ(FileError(C::HardwareError, 5, "").message(),
              "A hardware I/O error was reported while accessing an unnamed file.");
    EXPECT_EQ(FileError(C::SeekFailed, 25, "a").message(), "Seek failed on a");
    EXPECT_EQ(FileError(C::NotFound, 2, "b").message(), "b was not found.");
    EXPECT_EQ(FileError(C::DiskFull, -1, "c").message(), "Disk full while accessing c.");
    const std::string message = FileError(C::NotFound, 2, std::string(600, 'p')).message();
    EXPECT_EQ(message, std::string(511, 'p'));
    EXPECT_EQ(FileError(C::NotFound, 2, std::string(497, 'p')).message().size(), 511u);
    // Never inside a character: what is shown must stay UTF-8.
    EXPECT_EQ(FileError(C::NotFound, 2, std::string(509, 'p') + "\xE6\x97\xA5").message(), std::string(509, 'p'));
}

} // namespace
} // namespace relicwright
