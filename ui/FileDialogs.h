#pragma once

#include "FileChoice.h"

#include <string>

class QWidget;

namespace relicwright {

// The file-open and file-save dialogs, modal over their owner. The Qt implementation shows real
// dialogs; tests supply their own answers.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // filter: "description|pattern|...||", the first pair in effect; options: DialogOption bits.
    virtual FileChoice promptOpenFile(QWidget* owner, const std::string& filter, unsigned options) = 0;
    // defaultExtension is appended with a dot to a name typed without one; initialName fills the
    // name field.
    virtual FileChoice promptSaveFile(QWidget* owner, const std::string& filter,
                                      const std::string& defaultExtension, const std::string& initialName,
                                      unsigned options) = 0;
};

} // namespace relicwright
