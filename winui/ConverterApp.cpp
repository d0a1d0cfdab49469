#include "ConverterApp.h"

#include "CommonFileDialogs.h"
#include "MainWindow.h"
#include "SystemMessageBoxes.h"
#include "itemdata/WideText.h"

#include "converter/FileChoice.h"
#include "itemdata/FileSteps.h"
#include "itemdata/PathText.h"

#include <windows.h>

namespace relicwright::winui {

ConverterApp::ConverterApp(std::string programPath)
    : programPath_(std::move(programPath)), applicationName_(applicationNameOf(programPath_)),
      helpPagePath_(helpPagePathOf(programPath_)) {}

std::string ConverterApp::applicationNameOf(const std::string& programPath) {
    // The program file's name without its directory and last extension: what a file's title is.
    return FileChoice::fromPath(programPath).title;
}

std::string ConverterApp::helpPagePathOf(const std::string& programPath) {
    return programPath.substr(0, fileNameStart(programPath)) + "help.html";
}

std::string ConverterApp::currentProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            try {
                return narrow(path);
            } catch (const FileError& refusal) {
                // The name shown for the program; no help page can be found beside it, and F1 says so.
                return refusal.path();
            }
        }
        path.resize(path.size() * 2);
    }
}

int ConverterApp::run(const std::optional<std::string>& file) {
    CommonFileDialogs dialogs;
    SystemMessageBoxes boxes;
    MainWindow window(*this, MainWindow::Services{dialogs, boxes, platformFileSteps()});
    if (file) {
        window.loadWhenShown(*file);
    }
    mainWindow_ = &window;
    window.run();
    mainWindow_ = nullptr;
    return 0;
}

} // namespace relicwright::winui
