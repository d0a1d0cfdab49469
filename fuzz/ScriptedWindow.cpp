#include "ScriptedWindow.h"

namespace relicwright::fuzz {

FileChoice ScriptedWindow::promptOpenFile(const std::string& filter, unsigned /*options*/) {
    openFilters.push_back(filter);
    if (openAnswers.empty()) {
        return FileChoice::cancelled();
    }
    FileChoice answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

FileChoice ScriptedWindow::promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                                          const std::string& initialName, unsigned options) {
    saveDialogs.push_back({filter, defaultExtension, initialName, options});
    if (saveAnswers.empty()) {
        return FileChoice::cancelled();
    }
    FileChoice answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

} // namespace relicwright::fuzz
