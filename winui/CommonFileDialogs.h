#pragma once

#include "FileDialogs.h"

namespace relicwright::winui {

// GetOpenFileName and GetSaveFileName.
class CommonFileDialogs final : public FileDialogs {
public:
    FileChoice promptOpenFile(HWND owner, const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(HWND owner, const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;

    // The filter as the common dialogs take it: every "|" becomes a NUL, so "A|*.a||" ends in two.
    static std::wstring dialogFilter(const std::string& filter);
    // OFN_ flags for DialogOption bits.
    static DWORD dialogFlags(unsigned options);
};

} // namespace relicwright::winui
