#pragma once

#include "Application.h"

#include <string>

namespace relicwright::winui {

// The program started to convert files without its window (--convert-to), as Explorer's "Convert to
// ... item" starts it once per selected file: the processes of one selection gather their files into
// one run, which shows nothing when every file converts, else one message box listing those that
// did not.
class ConversionRun {
public:
    // Converts the start's files, or hands them to the process gathering this selection; returns
    // the program's exit status.
    static int run(const Application::Start& start, const std::string& applicationName);
};

} // namespace relicwright::winui
