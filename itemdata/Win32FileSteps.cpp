// The file steps on Windows. Paths are UTF-8 inside the program and UTF-16 at the system calls; a
// path that does not convert is refused by the conversion's own FileError, which names it visibly.
//
// Saves put the new file in place by renaming it through its own open handle rather than with
// ReplaceFileW: one call serves both replacing and never replacing (without ReplaceIfExists the
// rename fails when another program created the target meanwhile), a failed rename leaves the old
// target untouched, whereas ReplaceFileW needs an existing target, may leave it renamed after a
// partial failure and promises nothing about the disk. The price is that the new file takes the
// directory's permissions, like any new file there.
//
// A save killed half-way leaves no temporary file behind: the system removes it. The file is marked
// for deletion as soon as it exists, so when the process ends by any means its last handle closes
// and the file goes; the mark is lifted just before the rename. (FILE_FLAG_DELETE_ON_CLOSE cannot
// be lifted: the file would go on closing, under its new name.) Two short gaps remain, created but
// not yet marked and unmarked but not yet renamed, so a save also removes the leftovers of earlier
// runs that no process holds: every save holds its own file with share mode 0 until it is renamed.

#include "FileSteps.h"
#include "PathText.h"
#include "WideText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace relicwright {

namespace {

HANDLE toHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
FileHandle fromHandle(HANDLE handle) { return reinterpret_cast<FileHandle>(handle); }
int lastError() { return static_cast<int>(::GetLastError()); }

std::wstring fullPathOf(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

// The path as the file functions take it. Long paths get the "\\?\" prefix, which lifts the limit
// of 260 characters but turns off the system's own clean-up of the path, so the full path is made first.
std::wstring apiPath(const std::string& path) {
    std::wstring wide = widen(path);
    if (wide.empty() || wide.starts_with(LR"(\\?\)") || wide.starts_with(LR"(\\.\)")) {
        return wide;
    }
    const std::wstring full = fullPathOf(wide);
    // Directories are limited to 248 characters, leaving room for an 8.3 name.
    if (full.size() < MAX_PATH - 12) {
        return wide;
    }
    if (full.starts_with(LR"(\\?\)") || full.starts_with(LR"(\\.\)")) {
        return full;
    }
    if (full.starts_with(LR"(\\)")) {
        return LR"(\\?\UNC\)" + full.substr(2);
    }
    return LR"(\\?\)" + full;
}

// The directory part of a path, separator included, so a bare name stays in the working
// directory and "C:name" on that drive's.
std::string directoryPrefix(const std::string& path) {
    const auto end = path.find_last_of("\\/:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

// Once per directory and process: a file that a running save holds cannot be opened with share
// mode 0, nor one being deleted; what can is removed as it closes.
void removeLeftovers(const std::string& directory) {
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(directory).second) {
            return;
        }
    }
    const std::string folder = directory.empty() ? std::string(".\\") : directory;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileExW(apiPath(folder + ".relicwright-*.tmp").c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        std::string name;
        try {
            name = narrow(found.cFileName);
        } catch (const FileError&) {
            continue; // no name a save made
        }
        if (!isTemporaryFileName(name)) {
            continue;
        }
        const HANDLE leftover = ::CreateFileW(apiPath(folder + name).c_str(), DELETE, 0, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                              nullptr);
        if (leftover != INVALID_HANDLE_VALUE) {
            ::CloseHandle(leftover);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Marks an open file for deletion when its last handle closes, or lifts the mark.
bool markForDeletion(HANDLE file, bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

class Win32FileSteps final : public FileSteps {
public:
    FileErrorCause causeOf(int errorNumber) const override { return causeFromWin32Error(errorNumber); }

    int openForReading(const std::string& path, FileHandle& file, std::uint64_t& size) override {
        const std::wstring wide = apiPath(path);
        if (wide.empty()) {
            return ERROR_INVALID_NAME;
        }
        // Share mode 0: no other program may open the file while it is read.
        const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return lastError();
        }
        LARGE_INTEGER length{};
        // Devices, pipes and consoles can be opened by name too; only disk files are item files.
        if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileSizeEx(handle, &length)) {
            ::CloseHandle(handle);
            return ERROR_ACCESS_DENIED;
        }
        file = fromHandle(handle);
        size = static_cast<std::uint64_t>(length.QuadPart);
        return 0;
    }

    int read(FileHandle file, std::uint8_t* buffer, std::size_t size, std::size_t& got) override {
        DWORD count = 0;
        const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::ReadFile(toHandle(file), buffer, wanted, &count, nullptr)) {
            return lastError();
        }
        got = count;
        return 0;
    }

    int close(FileHandle file) override { return ::CloseHandle(toHandle(file)) ? 0 : lastError(); }

    // The attributes of a link are its own, so a dangling link exists too.
    int exists(const std::string& path, bool& found) override {
        const std::wstring wide = apiPath(path);
        found = !wide.empty() && ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (found || wide.empty()) {
            return 0;
        }
        const int error = lastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
    }

    std::string saveTarget(const std::string& path) override {
        const std::wstring wide = apiPath(path);
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (wide.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return path;
        }
        // A symbolic link: the save replaces the file it points to, not the link.
        const DWORD anyShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        const HANDLE handle = ::CreateFileW(wide.c_str(), 0, anyShare, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return path;
        }
        std::wstring final(32768, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(handle, final.data(),
                                                         static_cast<DWORD>(final.size()), VOLUME_NAME_DOS);
        ::CloseHandle(handle);
        if (length == 0 || length >= final.size()) {
            return path;
        }
        final.resize(length);
        if (final.starts_with(LR"(\\?\UNC\)")) {
            final = LR"(\\)" + final.substr(8);
        } else if (final.starts_with(LR"(\\?\)")) {
            final.erase(0, 4);
        }
        // A target whose name does not convert is refused here: the save could name no other file.
        return narrow(final);
    }

    // Only for messages: where the full path does not convert (a working directory whose name
    // does not), the target is named as given.
    std::string fullPath(const std::string& target) override {
        const std::wstring wide = widen(target);
        try {
            return wide.empty() ? target : narrow(fullPathOf(wide));
        } catch (const FileError&) {
            return target;
        }
    }

    // Nothing is held: a file kept open, even with share mode 0, could not be replaced by the move.
    // The move itself is refused while another program has the target open.
    int claimTarget(const std::string& target, bool mayReplace, FileHandle& held) override {
        held = kNoFileHandle;
        const std::wstring wide = apiPath(target);
        if (wide.empty()) {
            return ERROR_INVALID_NAME;
        }
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const int error = lastError();
            return error == ERROR_FILE_NOT_FOUND ? 0 : error;
        }
        if (!mayReplace) {
            return ERROR_FILE_EXISTS;
        }
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            return ERROR_ACCESS_DENIED;
        }
        const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return lastError();
        }
        const bool diskFile = ::GetFileType(handle) == FILE_TYPE_DISK;
        ::CloseHandle(handle);
        return diskFile ? 0 : ERROR_ACCESS_DENIED;
    }

    int createTemporary(const std::string& target, FileHandle, TemporaryFile& temporary) override {
        // Hidden and system files stay so once replaced; the move keeps the new file's attributes.
        const DWORD existing = ::GetFileAttributesW(apiPath(target).c_str());
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        if (existing != INVALID_FILE_ATTRIBUTES) {
            attributes = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
            attributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
        }
        static std::atomic<unsigned> counter{0};
        const std::string directory = directoryPrefix(target);
        removeLeftovers(directory);
        for (int attempt = 0;; ++attempt) {
            const std::string path = directory + temporaryFileName(static_cast<unsigned>(::GetCurrentProcessId()),
                                                                   static_cast<unsigned>(::GetTickCount()),
                                                                   counter.fetch_add(1));
            const HANDLE handle = ::CreateFileW(apiPath(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                                CREATE_NEW, attributes, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                temporary.handle = fromHandle(handle);
                temporary.path = path;
                if (!markForDeletion(handle, true)) {
                    const int error = lastError();
                    discard(temporary);
                    return error;
                }
                return 0;
            }
            const int error = lastError();
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
                return error;
            }
        }
    }

    int write(FileHandle file, const std::uint8_t* data, std::size_t size, std::size_t& written) override {
        DWORD count = 0;
        const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::WriteFile(toHandle(file), data, wanted, &count, nullptr)) {
            return lastError();
        }
        written = count;
        return 0;
    }

    int flush(FileHandle file) override { return ::FlushFileBuffers(toHandle(file)) ? 0 : lastError(); }

    // A whole volume is flushed only through its own handle, which needs administrator rights: each
    // file flushes on its own.
    int flushTogether(const std::vector<FileHandle>&) override { return ERROR_NOT_SUPPORTED; }

    int commit(TemporaryFile& temporary, const std::string& target, bool mayReplace) override {
        // Renamed through its own handle, one call after the mark is lifted, so that a kill in
        // between is as unlikely as it can be made; the handle is closed only once it is in place.
        const HANDLE handle = toHandle(temporary.handle);
        if (!markForDeletion(handle, false)) {
            return lastError();
        }
        const std::wstring name = fullPathOf(apiPath(target));
        const std::size_t nameBytes = name.size() * sizeof(wchar_t);
        std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = mayReplace ? TRUE : FALSE;
        rename->RootDirectory = nullptr;
        rename->FileNameLength = static_cast<DWORD>(nameBytes);
        std::memcpy(rename->FileName, name.data(), nameBytes);
        if (!::SetFileInformationByHandle(handle, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
            const int error = lastError();
            markForDeletion(handle, true);
            return error;
        }
        temporary.path.clear();
        // Flushed once more, so that a journalling file system such as NTFS commits the rename too.
        const bool flushed = ::FlushFileBuffers(handle);
        const int error = flushed ? 0 : lastError();
        const bool closed = ::CloseHandle(handle);
        temporary.handle = kNoFileHandle;
        return error != 0 ? error : closed ? 0 : lastError();
    }

    // The commit's last flush has already made the new name durable; a directory cannot be flushed
    // by handle here anyway.
    int flushDirectory(const std::string&) override { return 0; }

    void discard(TemporaryFile& temporary) override {
        if (temporary.handle != kNoFileHandle) {
            ::CloseHandle(toHandle(temporary.handle));
            temporary.handle = kNoFileHandle;
        }
        if (!temporary.path.empty()) {
            ::DeleteFileW(apiPath(temporary.path).c_str());
            temporary.path.clear();
        }
    }
};

} // namespace

FileSteps& platformFileSteps() {
    static Win32FileSteps steps;
    return steps;
}

std::string_view pathSeparators() { return "\\/"; }

} // namespace relicwright
