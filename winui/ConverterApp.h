#pragma once

#include "HelpPage.h"

#include <string>
#include <vector>

namespace relicwright::winui {

class MessageBoxes;

// The program: its name and help page from the program file, and its start from its arguments.
class ConverterApp {
public:
    explicit ConverterApp(const std::string& programPath);

    // Shows the main window until it is closed, with a file loaded once the window is up when the
    // arguments name one. What would go to a console (--help, --version, a usage error) is shown in
    // a message box instead, as the program has none, and ends the program with its status.
    int run(const std::vector<std::string>& arguments, MessageBoxes& boxes) const;

    // run with the arguments of a command line; one that does not convert to UTF-8 is refused in
    // a message box first.
    int start(const wchar_t* commandLine, MessageBoxes& boxes) const;

    // The arguments after the program's own name, in UTF-8, as the system splits a command line;
    // throws the FileError of one that does not convert.
    static std::vector<std::string> argumentsOf(const wchar_t* commandLine);
    // The running program file, as the system knows it.
    static std::string currentProgramPath();

private:
    std::string applicationName_;
    HelpPage help_;
};

} // namespace relicwright::winui
