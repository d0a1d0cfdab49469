#pragma once

#include "FileChoice.h"

#include <windows.h>

#include <string>

namespace relicwright::winui {

// The file-open and file-save dialogs, modal over their owner. The program shows the common
// dialogs; tests answer with files of their own. Only Cancel returns an unconfirmed choice: a
// dialog that fails throws, so that the window's guard says why.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // filter: "description|pattern|...||", the first pair in effect; options: DialogOption bits.
    virtual FileChoice promptOpenFile(HWND owner, const std::string& filter, unsigned options) = 0;
    // defaultExtension is appended with a dot to a name typed without one; initialName fills the
    // name field.
    virtual FileChoice promptSaveFile(HWND owner, const std::string& filter, const std::string& defaultExtension,
                                      const std::string& initialName, unsigned options) = 0;
};

} // namespace relicwright::winui
