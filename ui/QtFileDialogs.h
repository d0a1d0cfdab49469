#pragma once

#include "FileDialogs.h"

class QFileDialog;

namespace relicwright {

// The file dialogs as Qt's own file dialog, the same on every desktop, so that each file type
// shows its description exactly as written.
class QtFileDialogs final : public FileDialogs {
public:
    FileChoice promptOpenFile(QWidget* owner, const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(QWidget* owner, const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;

    // Sets up a dialog as the prompts do, without running it (tests look at it).
    static void configureOpen(QFileDialog& dialog, const std::string& filter, unsigned options);
    static void configureSave(QFileDialog& dialog, const std::string& filter,
                              const std::string& defaultExtension, const std::string& initialName,
                              unsigned options);

private:
    static FileChoice run(QFileDialog& dialog);
};

} // namespace relicwright
