#include "FileError.h"

#include <array>
#include <cerrno>
#include <string_view>

namespace relicwright {

namespace {

constexpr std::array<std::string_view, 15> kMessageTemplates = {
    "No error occurred.",
    "An unknown error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an invalid path.",
    "%1 could not be opened because there are too many open files.",
    "Access to %1 was denied.",
    "An invalid file handle was associated with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seek failed on %1",
    "A hardware I/O error was reported while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "Disk full while accessing %1.",
    "An attempt was made to access %1 past its end.",
};

constexpr std::string_view kUnnamedFile = "an unnamed file";

std::string whatText(FileErrorCause cause, const std::string& path) {
    return FileError::fileErrorMessage(cause, path);
}

} // namespace

FileError::FileError(FileErrorCause cause, std::int32_t platformCode, std::string path)
    : std::runtime_error(whatText(cause, path)), cause_(cause), platformCode_(platformCode),
      path_(std::move(path)) {}

std::string FileError::fileErrorMessage(FileErrorCause cause, const std::string& path) {
    const auto index = static_cast<std::size_t>(cause);
    const std::string_view pattern =
        index < kMessageTemplates.size() ? kMessageTemplates[index] : kMessageTemplates[1];
    const std::string_view insert = path.empty() ? kUnnamedFile : std::string_view(path);
    // One pass: the inserted path is never scanned again, so a "%1" inside it stays as it is.
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
            text.append(insert);
            ++i;
        } else {
            text.push_back(pattern[i]);
        }
    }
    if (text.size() > kMaxMessageLength) {
        text.resize(kMaxMessageLength);
    }
    return text;
}

FileErrorCause causeFromErrno(int errorNumber) noexcept {
    switch (errorNumber) {
    case 0:
        return FileErrorCause::NoError;
    case ENOENT:
    case ESTALE:
        return FileErrorCause::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ:
        return FileErrorCause::InvalidPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
    case ENOTEMPTY:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::InvalidHandle;
    case ESPIPE:
        return FileErrorCause::SeekFailed;
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case EMEDIUMTYPE:
    case EREMOTEIO:
        return FileErrorCause::HardwareError;
    case EWOULDBLOCK:
        return FileErrorCause::SharingViolation;
    case ENOLCK:
    case EDEADLK:
        return FileErrorCause::LockingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    default:
        return FileErrorCause::OtherError;
    }
}

} // namespace relicwright
