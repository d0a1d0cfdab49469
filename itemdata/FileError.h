#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace relicwright {

// What went wrong with a file. The numbers are stable: they index the message table.
enum class FileErrorCause : std::uint8_t {
    NoError = 0,
    OtherError = 1,
    NotFound = 2,
    InvalidPath = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    InvalidHandle = 6,
    IsCurrentDirectory = 7,
    DirectoryFull = 8,
    SeekFailed = 9,
    HardwareError = 10,
    SharingViolation = 11,
    LockingViolation = 12,
    DiskFull = 13,
    PastEnd = 14,
};

// Platform code recorded when a write stored fewer bytes than asked without reporting an error.
inline constexpr std::int32_t kShortWriteCode = -1;

class FileError : public std::runtime_error {
public:
    FileError(FileErrorCause cause, std::int32_t platformCode, std::string path);

    FileErrorCause cause() const noexcept { return cause_; }
    std::int32_t platformCode() const noexcept { return platformCode_; }
    // Empty when the failing step does not record a path.
    const std::string& path() const noexcept { return path_; }
    // The text shown to the user.
    std::string message() const { return fileErrorMessage(cause_, path_); }

    static std::string fileErrorMessage(FileErrorCause cause, const std::string& path);

private:
    FileErrorCause cause_;
    std::int32_t platformCode_;
    std::string path_;
};

// Longest message shown; longer texts are cut.
inline constexpr std::size_t kMaxMessageLength = 511;

FileErrorCause causeFromErrno(int errorNumber) noexcept;
// Windows' system error codes (GetLastError); every code not listed means OtherError.
FileErrorCause causeFromWin32Error(int errorNumber) noexcept;

} // namespace relicwright
