#pragma once

#include <optional>
#include <string>

namespace relicwright::winui {

// The program started to convert files without its window (--convert-to), as Explorer's "Convert to
// ... item" starts it once per selected file: the processes of one selection gather their files into
// one run, which shows nothing when every file converts, else one message box listing those that
// did not.
class ConversionRun {
public:
    // The program's exit status when its command line asks for a conversion; nothing otherwise.
    static std::optional<int> runIfAsked(const std::string& applicationName);
};

} // namespace relicwright::winui
