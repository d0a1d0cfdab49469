#pragma once

#include "Application.h"

#include "FileError.h"
#include "GameVariant.h"

#include <string>
#include <vector>

namespace relicwright::winui {

// Files converted without the window, as a shell's --convert-to or Explorer's "Convert to ... item"
// asks: nothing is shown when every file converts, else one message box lists those that did not.
class ConversionRun {
public:
    // Converts the start's files; returns the program's exit status.
    static int run(const Application::Start& start, const std::string& applicationName);

    // Converts the files and shows the summary, listing `refused` (names that have no UTF-8 form)
    // after the others; returns 0 when every file was converted, else 1.
    static int convert(GameVariant target, const std::vector<std::string>& files,
                       const std::vector<FileError>& refused, const std::string& applicationName);
};

} // namespace relicwright::winui
