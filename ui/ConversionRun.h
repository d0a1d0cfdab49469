#pragma once

#include <optional>
#include <string>
#include <vector>

namespace relicwright {

// The program started to convert files without its window (--convert-to), as Dolphin's and Nemo's
// entries start it: nothing is shown when every file converts, else one message box lists those
// that did not.
class ConversionRun {
public:
    // The program's exit status when the arguments ask for a conversion, or for a text to print, or
    // are wrong; nothing when the window is to show.
    static std::optional<int> runIfAsked(const std::vector<std::string>& arguments, const std::string& applicationName,
                                         bool displayAvailable);
};

} // namespace relicwright
