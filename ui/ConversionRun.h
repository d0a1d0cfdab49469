#pragma once

#include "Application.h"

#include <string>

namespace relicwright {

// The program started to convert files without its window (--convert-to), as Dolphin's and Nemo's
// entries start it: nothing is shown when every file converts, else one message box lists those
// that did not.
class ConversionRun {
public:
    // Converts the start's files; returns the program's exit status.
    static int run(const Application::Start& start, const std::string& applicationName, bool displayAvailable);
};

} // namespace relicwright
