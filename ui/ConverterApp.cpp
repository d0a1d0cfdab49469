#include "ConverterApp.h"

#include "ConversionRun.h"
#include "DesktopHelpViewer.h"
#include "MainWindow.h"
#include "QtFileDialogs.h"
#include "QtMessagePresenter.h"

#include "Application.h"
#include "FileSteps.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>
#include <vector>

namespace relicwright {

namespace {

bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

ConverterApp::ConverterApp(std::string programPath)
    : programPath_(std::move(programPath)), applicationName_(Application::nameOf(programPath_)) {}

int ConverterApp::main(int argc, const char* const argv[]) {
    // argv[0] only stands in when the system cannot name the program file.
    ConverterApp app(currentProgramPath(argc > 0 && argv[0] != nullptr ? argv[0] : "relicwright"));
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return app.run(arguments);
}

std::string ConverterApp::currentProgramPath(const std::string& fallback) {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || path.empty()) {
        return fallback;
    }
    return path.string();
}

bool ConverterApp::displayAvailable() {
    return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY") ||
           environmentSet("WAYLAND_DISPLAY");
}

int ConverterApp::run(const std::vector<std::string>& arguments) {
    const Application::Start start = Application::startFrom(arguments, applicationName_);
    switch (start.action) {
    case Application::Start::Action::Print:
        std::cout << start.text;
        return start.status;
    case Application::Start::Action::UsageError:
        std::cerr << start.text;
        return start.status;
    case Application::Start::Action::Convert:
        return ConversionRun::run(start, applicationName_, displayAvailable());
    case Application::Start::Action::ShowWindow:
        break;
    }
    if (!displayAvailable()) {
        std::cerr << applicationName_ << ": no display to show the window on (DISPLAY is not set).\n"
                  << "To run it without a desktop, start it under a virtual X server:\n"
                  << "    xvfb-run -a " << programPath_ << "\n";
        return 1;
    }
    // Qt is given the program name only, so that no argument is taken for one of its options.
    std::string name = programPath_;
    std::vector<char*> qtArguments{name.data(), nullptr};
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, qtArguments.data());
    QGuiApplication::setDesktopFileName(QStringLiteral("relicwright"));

    QtFileDialogs fileDialogs;
    QtMessagePresenter messages;
    DesktopHelpViewer help(programPath_);
    MainWindow window(applicationName_, MainWindow::Services{fileDialogs, messages, help, platformFileSteps()});
    if (start.file) {
        window.openWhenShown(*start.file);
    }
    window.exec();
    return 0;
}

} // namespace relicwright
