#include "ConverterApp.h"

#include "ConversionRun.h"
#include "DesktopHelpViewer.h"
#include "MainWindow.h"
#include "QtFileDialogs.h"
#include "QtMessagePresenter.h"

#include "converter/FileChoice.h"
#include "itemdata/FileSteps.h"
#include "itemdata/PathText.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
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

int ConverterApp::main(int argc, const char* const argv[]) {
    // argv[0] only stands in when the system cannot name the program file.
    ConverterApp app(currentProgramPath(argc > 0 && argv[0] != nullptr ? argv[0] : "relicwright"));
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return app.run(arguments);
}

std::string ConverterApp::applicationNameOf(const std::string& programPath) {
    // The program file's name without its directory and last extension: what a file's title is.
    return FileChoice::fromPath(programPath).title;
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

int ConverterApp::run(const std::vector<std::string>& arguments) {
    if (const auto status = ConversionRun::runIfAsked(arguments, applicationName_, displayAvailable())) {
        return *status;
    }
    std::optional<std::string> file;
    bool optionsEnd = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && argument == "--help") {
            std::cout << "Usage: " << applicationName_ << " [FILE]\n"
                      << "Converts a Diablo item file (.itm) to a Hellfire item file (.hif) and back.\n"
                      << "FILE is loaded once the window is up, as if chosen with Load.\n";
            return 0;
        } else if (!optionsEnd && argument == "--version") {
            std::cout << applicationName_ << " " << RELICWRIGHT_VERSION << "\n";
            return 0;
        } else if (!optionsEnd && argument.size() > 1 && argument.front() == '-') {
            std::cerr << applicationName_ << ": unknown option " << argument << "\n"
                      << "Usage: " << applicationName_ << " [FILE]\n";
            return 2;
        } else if (file) {
            std::cerr << applicationName_ << ": one file at a time\n"
                      << "Usage: " << applicationName_ << " [FILE]\n";
            return 2;
        } else {
            // The file dialog answers with a full path, so a relative one is made full here.
            std::error_code error;
            const auto full = std::filesystem::absolute(argument, error);
            file = error ? argument : full.lexically_normal().string();
        }
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
    DesktopHelpViewer help;
    MainWindow window(*this, MainWindow::Services{fileDialogs, messages, help, platformFileSteps()});
    mainWindow_ = &window;
    if (file) {
        window.openWhenShown(*file);
    }
    window.exec();
    mainWindow_ = nullptr;
    return 0;
}

} // namespace relicwright
