#include "ConverterApp.h"

#include "CommonFileDialogs.h"
#include "MainWindow.h"
#include "SystemMessageBoxes.h"
#include "WideText.h"

#include "itemdata/FileSteps.h"

#include <windows.h>

namespace relicwright::winui {

namespace {

std::string::size_type nameStart(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

} // namespace

ConverterApp::ConverterApp(std::string programPath)
    : programPath_(std::move(programPath)), applicationName_(applicationNameOf(programPath_)),
      helpPagePath_(helpPagePathOf(programPath_)) {}

std::string ConverterApp::applicationNameOf(const std::string& programPath) {
    std::string name = programPath.substr(nameStart(programPath));
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string ConverterApp::helpPagePathOf(const std::string& programPath) {
    return programPath.substr(0, nameStart(programPath)) + "help.html";
}

std::string ConverterApp::currentProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return narrow(path);
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
