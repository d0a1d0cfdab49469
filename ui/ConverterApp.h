#pragma once

#include <string>
#include <vector>

namespace relicwright {

class MainWindow;

// The program: derives its name and help file from the program file, runs the main window
// modally and ends when it closes.
class ConverterApp {
public:
    explicit ConverterApp(std::string programPath);

    // The program file's name without directory and last extension: the caption of every message box.
    const std::string& applicationName() const { return applicationName_; }
    // The program file's path with its extension replaced by ".HLP" (appended when it has none).
    const std::string& helpFilePath() const { return helpFilePath_; }
    const std::string& programPath() const { return programPath_; }

    // The window currently running, if any.
    MainWindow* mainWindow() const { return mainWindow_; }

    // Shows the main window until it is closed; the program then ends. One argument names a file
    // to load once the window is up, as if the file-open dialog had returned it; "--help" and
    // "--version" print and return. Without a display it explains how to start the program
    // instead, and returns 1; a usage error returns 2.
    int run(const std::vector<std::string>& arguments = {});

    // The program's start from the raw arguments a shell, menu or file manager passes: argv[0]
    // names the program, never a file to load.
    static int main(int argc, const char* const argv[]);

    static std::string applicationNameOf(const std::string& programPath);
    static std::string helpFilePathOf(const std::string& programPath);
    // The running program file, as the system knows it; `fallback` when the system cannot say.
    static std::string currentProgramPath(const std::string& fallback);
    // True when a window can be shown: a display is set, or a Qt platform was chosen explicitly.
    static bool displayAvailable();

private:
    std::string programPath_;
    std::string applicationName_;
    std::string helpFilePath_;
    MainWindow* mainWindow_ = nullptr;
};

} // namespace relicwright
