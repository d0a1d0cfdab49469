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
        // Cut before a character, not inside one: a cut UTF-8 sequence would not convert for display.
        // A Linux name may hold any bytes, so at most the three bytes a character can carry on.
        std::size_t cut = kMaxMessageLength;
        while (cut > kMaxMessageLength - 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    return text;
}

FileErrorCause causeFromErrno(int errorNumber) noexcept {
    switch (errorNumber) {
    case 0:
        return FileErrorCause::NoError;
    case ENOENT:
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
        return FileErrorCause::HardwareError;
    case EWOULDBLOCK:
        return FileErrorCause::SharingViolation;
    case ENOLCK:
    case EDEADLK:
        return FileErrorCause::LockingViolation;
    case ENOSPC:
    case EFBIG:
        return FileErrorCause::DiskFull;
#ifdef EDQUOT // Numbers only some systems have; a Windows build has none of them.
    case ESTALE:
        return FileErrorCause::NotFound;
    case ENOMEDIUM:
    case EMEDIUMTYPE:
    case EREMOTEIO:
        return FileErrorCause::HardwareError;
    case EDQUOT:
        return FileErrorCause::DiskFull;
#endif
    default:
        return FileErrorCause::OtherError;
    }
}

FileErrorCause causeFromWin32Error(int errorNumber) noexcept {
    switch (errorNumber) {
    case 0:
        return FileErrorCause::NoError;
    case 2: case 6: case 18: case 107:
        return FileErrorCause::NotFound;
    case 3: case 15: case 17: case 34: case 52: case 53: case 55: case 67: case 70: case 85:
    case 111: case 123: case 124: case 125: case 144: case 154: case 161: case 206: case 208:
    case 267: case 1113:
        return FileErrorCause::InvalidPath;
    case 4: case 36: case 68: case 113:
        return FileErrorCause::TooManyOpenFiles;
    case 5: case 12: case 19: case 29: case 54: case 58: case 64: case 65: case 71: case 80:
    case 82: case 86: case 170: case 183: case 999:
        return FileErrorCause::AccessDenied;
    case 11: case 26: case 60: case 66: case 114: case 182: case 191: case 193:
        return FileErrorCause::InvalidHandle;
    case 16: case 145:
        return FileErrorCause::IsCurrentDirectory;
    case 62:
        return FileErrorCause::DirectoryFull;
    case 24: case 25: case 27: case 30: case 131: case 132:
        return FileErrorCause::SeekFailed;
    case 20: case 21: case 22: case 23: case 57: case 59: case 88: case 117: case 995: case 996:
    case 997:
        return FileErrorCause::HardwareError;
    case 32:
        return FileErrorCause::SharingViolation;
    case 33: case 108: case 167:
        return FileErrorCause::LockingViolation;
    case 39: case 112:
        return FileErrorCause::DiskFull;
    case 38:
        return FileErrorCause::PastEnd;
    default:
        return FileErrorCause::OtherError;
    }
}

} // namespace relicwright
