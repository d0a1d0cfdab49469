#include "ConverterApp.h"

#include "DesktopHelpViewer.h"
#include "MainWindow.h"
#include "QtFileDialogs.h"
#include "QtMessagePresenter.h"

#include "itemdata/FileSteps.h"
#include "itemdata/PathText.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

namespace relicwright {

namespace {

bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

ConverterApp::ConverterApp(std::string programPath)
    : programPath_(std::move(programPath)), applicationName_(applicationNameOf(programPath_)),
      helpFilePath_(helpFilePathOf(programPath_)) {}

std::string ConverterApp::applicationNameOf(const std::string& programPath) {
    std::string name = programPath.substr(fileNameStart(programPath));
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string ConverterApp::helpFilePathOf(const std::string& programPath) {
    const auto dot = programPath.find_last_of('.');
    if (dot != std::string::npos && dot >= fileNameStart(programPath)) {
        return programPath.substr(0, dot) + ".HLP";
    }
    return programPath + ".HLP";
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

int ConverterApp::run() {
    if (!displayAvailable()) {
        std::cerr << applicationName_ << ": no display to show the window on (DISPLAY is not set).\n"
                  << "To run it without a desktop, start it under a virtual X server:\n"
                  << "    xvfb-run -a " << programPath_ << "\n";
        return 1;
    }
    // Qt is given the program name only, so that no command-line option reaches it.
    std::string name = programPath_;
    std::vector<char*> arguments{name.data(), nullptr};
    int argumentCount = 1;
    QApplication application(argumentCount, arguments.data());
    QGuiApplication::setDesktopFileName(QStringLiteral("relicwright"));

    QtFileDialogs fileDialogs;
    QtMessagePresenter messages;
    DesktopHelpViewer help;
    MainWindow window(*this, MainWindow::Services{fileDialogs, messages, help, platformFileSteps()});
    mainWindow_ = &window;
    window.exec();
    mainWindow_ = nullptr;
    return 0;
}

} // namespace relicwright
