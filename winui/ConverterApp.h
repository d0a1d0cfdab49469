#pragma once

#include <optional>
#include <string>

namespace relicwright::winui {

class MainWindow;

// The program: derives its name and help page from the program file, runs the main window
// modally and ends when it closes.
class ConverterApp {
public:
    explicit ConverterApp(std::string programPath);

    // The program file's name without directory and last extension: the caption of every message box.
    const std::string& applicationName() const { return applicationName_; }
    // The help page: help.html in the program's directory.
    const std::string& helpPagePath() const { return helpPagePath_; }

    // The window currently running, if any.
    MainWindow* mainWindow() const { return mainWindow_; }

    // Shows the main window until it is closed; the program then ends. A file, when given, is loaded
    // once the window is up, as if the file-open dialog had returned it.
    int run(const std::optional<std::string>& file);

    static std::string applicationNameOf(const std::string& programPath);
    static std::string helpPagePathOf(const std::string& programPath);
    // The running program file, as the system knows it.
    static std::string currentProgramPath();

private:
    std::string programPath_;
    std::string applicationName_;
    std::string helpPagePath_;
    MainWindow* mainWindow_ = nullptr;
};

} // namespace relicwright::winui
