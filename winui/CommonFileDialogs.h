#pragma once

#include "FileDialogs.h"

#include <commdlg.h>

#include <cstddef>

namespace relicwright::winui {

// GetOpenFileName and GetSaveFileName. A dialog that fails is reported (FileError, bad_alloc or
// another exception), never taken for a Cancel.
class CommonFileDialogs final : public FileDialogs {
public:
    // The longest path Windows takes, with its NUL: the manifest declares long paths.
    static constexpr std::size_t kLongestPath = 32768;

    // The system's dialogs and what they say of a failure; a test answers in their place.
    struct Functions {
        BOOL(WINAPI* open)(LPOPENFILENAMEW);
        BOOL(WINAPI* save)(LPOPENFILENAMEW);
        DWORD(WINAPI* failure)();
    };
    static Functions systemFunctions();

    explicit CommonFileDialogs(const Functions& functions = systemFunctions());

    FileChoice promptOpenFile(HWND owner, const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(HWND owner, const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;

    // The filter as the common dialogs take it: every "|" becomes a NUL, so "A|*.a||" ends in two.
    static std::wstring dialogFilter(const std::string& filter);
    // OFN_ flags for DialogOption bits.
    static DWORD dialogFlags(unsigned options);

private:
    Functions functions_;
};

} // namespace relicwright::winui
