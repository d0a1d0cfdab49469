#include "ConverterApp.h"

#include "CommonFileDialogs.h"
#include "ConversionRun.h"
#include "LocalServer.h"
#include "MainWindow.h"
#include "MessageBoxes.h"

#include "Application.h"
#include "FileSteps.h"
#include "PathText.h"
#include "WideText.h"

#include <shellapi.h>
#include <windows.h>

namespace relicwright::winui {

namespace {

// help.html in the program's directory.
std::string helpPagePathOf(const std::string& programPath) {
    return programPath.substr(0, fileNameStart(programPath)) + Application::kHelpPageName;
}

} // namespace

ConverterApp::ConverterApp(const std::string& programPath)
    : applicationName_(Application::nameOf(programPath)), help_(helpPagePathOf(programPath)) {}

std::vector<std::string> ConverterApp::argumentsOf(const wchar_t* commandLine) {
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(commandLine, &count);
    if (split == nullptr) {
        return {};
    }
    std::vector<std::string> arguments;
    for (int index = 1; index < count; ++index) {
        arguments.push_back(narrow(split[index]));
    }
    LocalFree(split);
    return arguments;
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

int ConverterApp::start(const wchar_t* commandLine, MessageBoxes& boxes) const {
    std::vector<std::string> arguments;
    try {
        arguments = argumentsOf(commandLine);
    } catch (const FileError& refusal) {
        // Refused as a failed load is, and the window starts empty: no other name is loaded.
        boxes.show(nullptr, applicationName_, refusal.message(),
                   MB_OK | iconStyle(Application::iconFor(HandlerFailure::Kind::File)) | MB_APPLMODAL);
    }
    return run(arguments, boxes);
}

int ConverterApp::run(const std::vector<std::string>& arguments, MessageBoxes& boxes) const {
    if (LocalServer::isComStart(arguments)) {
        return LocalServer(applicationName_).serve();
    }
    const Application::Start start = Application::startFrom(arguments, applicationName_);
    if (start.action == Application::Start::Action::Convert) {
        return ConversionRun::run(start, applicationName_);
    }
    if (start.action != Application::Start::Action::ShowWindow) {
        std::string text = start.text;
        // A line's end closes the console's last line; in a box it would only add an empty one.
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        boxes.show(nullptr, applicationName_, text, MB_OK | iconStyle(Application::iconFor(start.action)));
        return start.status;
    }
    CommonFileDialogs dialogs;
    MainWindow window(applicationName_, MainWindow::Services{dialogs, boxes, platformFileSteps(), help_});
    if (start.file) {
        window.loadWhenShown(*start.file);
    }
    window.run();
    return 0;
}

} // namespace relicwright::winui
