#pragma once

#include <string>
#include <vector>

namespace relicwright {

// The program: takes its name from the program file, runs the main window modally and ends when
// it closes.
class ConverterApp {
public:
    explicit ConverterApp(std::string programPath);

    // Does what Application::startFrom makes of the arguments: prints and returns, or shows the
    // main window, with the file loaded once it is up, until it is closed. Without a display it
    // explains how to start the program instead, and returns 1.
    int run(const std::vector<std::string>& arguments = {});

    // The caption of every box, from the program file's name.
    const std::string& applicationName() const { return applicationName_; }

    // The program's start from the raw arguments a shell, menu or file manager passes: argv[0]
    // names the program, never a file to load.
    static int main(int argc, const char* const argv[]);

    // The running program file, as the system knows it; `fallback` when the system cannot say.
    static std::string currentProgramPath(const std::string& fallback);
    // True when a window can be shown: a display is set, or a Qt platform was chosen explicitly.
    static bool displayAvailable();

private:
    std::string programPath_;
    std::string applicationName_;
};

} // namespace relicwright
