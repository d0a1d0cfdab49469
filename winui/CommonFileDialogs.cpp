#include "CommonFileDialogs.h"

#include "FileError.h"
#include "WideText.h"

#include "WindowServices.h"

#include <cderr.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

namespace relicwright::winui {

namespace {

// What a dialog that returned no file meant: the user's Cancel, or a failure that is said in the
// program's words rather than taken for a Cancel.
FileChoice failedChoice(DWORD code) {
    switch (code) {
    case 0:
        return FileChoice::cancelled();
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
        throw std::bad_alloc();
    case FNERR_BUFFERTOOSMALL:
    case FNERR_INVALIDFILENAME:
        // The dialog keeps the name it could not hand over.
        throw FileError(FileErrorCause::InvalidPath, static_cast<std::int32_t>(code), std::string());
    default:
        throw std::runtime_error("The file dialog failed with error " + std::to_string(code) + ".");
    }
}

FileChoice run(OPENFILENAMEW& request, std::wstring& path, BOOL(WINAPI* dialog)(LPOPENFILENAMEW),
               DWORD(WINAPI* failure)()) {
    request.lStructSize = sizeof(request);
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    if (!dialog(&request)) {
        return failedChoice(failure());
    }
    return FileChoice::fromPath(narrow(path.c_str()));
}

const wchar_t* orNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

CommonFileDialogs::Functions CommonFileDialogs::systemFunctions() {
    return {GetOpenFileNameW, GetSaveFileNameW, CommDlgExtendedError};
}

CommonFileDialogs::CommonFileDialogs(const Functions& functions) : functions_(functions) {}

std::wstring CommonFileDialogs::dialogFilter(const std::string& filter) {
    std::wstring result = widen(filter);
    std::replace(result.begin(), result.end(), L'|', L'\0');
    return result;
}

DWORD CommonFileDialogs::dialogFlags(unsigned options) {
    DWORD flags = 0;
    if ((options & LongFileNames) != 0) {
        flags |= OFN_LONGNAMES;
    }
    if ((options & FileMustExist) != 0) {
        flags |= OFN_FILEMUSTEXIST;
    }
    if ((options & HideReadOnly) != 0) {
        flags |= OFN_HIDEREADONLY;
    }
    if ((options & OverwritePrompt) != 0) {
        flags |= OFN_OVERWRITEPROMPT;
    }
    return flags;
}

FileChoice CommonFileDialogs::promptOpenFile(HWND owner, const std::string& filter, unsigned options) {
    const std::wstring filters = dialogFilter(filter);
    std::wstring path(kLongestPath, L'\0');
    OPENFILENAMEW request{};
    request.hwndOwner = owner;
    request.lpstrFilter = orNull(filters);
    request.nFilterIndex = 1;
    request.Flags = dialogFlags(options);
    return run(request, path, functions_.open, functions_.failure);
}

FileChoice CommonFileDialogs::promptSaveFile(HWND owner, const std::string& filter,
                                             const std::string& defaultExtension, const std::string& initialName,
                                             unsigned options) {
    const std::wstring filters = dialogFilter(filter);
    const std::wstring extension = widen(defaultExtension);
    std::wstring path = widen(initialName);
    path.resize(std::max(kLongestPath, path.size() + 1), L'\0');
    OPENFILENAMEW request{};
    request.hwndOwner = owner;
    request.lpstrFilter = orNull(filters);
    request.nFilterIndex = 1;
    request.lpstrDefExt = orNull(extension);
    request.Flags = dialogFlags(options);
    return run(request, path, functions_.save, functions_.failure);
}

} // namespace relicwright::winui
