#include "CommonFileDialogs.h"

#include "WideText.h"

#include "WindowServices.h"

#include <commdlg.h>

#include <algorithm>
#include <array>

namespace relicwright::winui {

namespace {

// The longest path the dialogs return, with its terminating NUL.
using PathBuffer = std::array<wchar_t, MAX_PATH>;

FileChoice run(OPENFILENAMEW& request, PathBuffer& path, BOOL(WINAPI* dialog)(LPOPENFILENAMEW)) {
    request.lStructSize = sizeof(request);
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    // Cancelled, closed, or the dialog itself failed: all the same to the caller.
    if (!dialog(&request)) {
        return FileChoice::cancelled();
    }
    return FileChoice::fromPath(narrow(path.data()));
}

const wchar_t* orNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

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
    PathBuffer path{};
    OPENFILENAMEW request{};
    request.hwndOwner = owner;
    request.lpstrFilter = orNull(filters);
    request.nFilterIndex = 1;
    request.Flags = dialogFlags(options);
    return run(request, path, GetOpenFileNameW);
}

FileChoice CommonFileDialogs::promptSaveFile(HWND owner, const std::string& filter,
                                             const std::string& defaultExtension, const std::string& initialName,
                                             unsigned options) {
    const std::wstring filters = dialogFilter(filter);
    const std::wstring extension = widen(defaultExtension);
    const std::wstring name = widen(initialName);
    PathBuffer path{};
    std::copy_n(name.begin(), std::min(name.size(), path.size() - 1), path.begin());
    OPENFILENAMEW request{};
    request.hwndOwner = owner;
    request.lpstrFilter = orNull(filters);
    request.nFilterIndex = 1;
    request.lpstrDefExt = orNull(extension);
    request.Flags = dialogFlags(options);
    return run(request, path, GetSaveFileNameW);
}

} // namespace relicwright::winui
