#pragma once

#include "FileChoice.h"

#include <string>

namespace relicwright {

// Options the workflow asks of the file dialogs.
enum DialogOption : unsigned {
    LongFileNames = 1u << 0,
    FileMustExist = 1u << 1,
    HideReadOnly = 1u << 2,
    OverwritePrompt = 1u << 3,
};

// What the workflow needs of the window: its modal dialogs, its message box and the two read-only
// fields. Each window implements it (the Qt window, the Windows window, the page); tests use a fake
// that queues answers and records calls.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // filter: "description|pattern|...||"; empty offers no file types.
    virtual FileChoice promptOpenFile(const std::string& filter, unsigned options) = 0;
    // defaultExtension is appended (with a dot) to a name typed without one; empty appends nothing.
    virtual FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                                      const std::string& initialName, unsigned options) = 0;
    // A modal message box with the application's name as caption, an OK button and no icon.
    virtual void showMessage(const std::string& text) = 0;

    // The read-only fields 1006 (source game) and 1003 (item).
    virtual void setSourceGameField(const std::string& text) = 0;
    virtual void setItemField(const std::string& text) = 0;
    // "Out of memory." with the exclamation icon; used where an operation reports it itself.
    virtual void reportOutOfMemory() = 0;
};

} // namespace relicwright
