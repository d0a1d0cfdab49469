#pragma once

#include "converter/WindowServices.h"

#include <deque>
#include <string>
#include <vector>

namespace relicwright::fuzz {

// Stands in for the window: the file dialogs answer from queues (cancelled once a queue runs dry),
// and every dialog, message and field update is recorded for the checks that follow.
class ScriptedWindow final : public WindowServices {
public:
    struct SaveDialog {
        std::string filter;
        std::string defaultExtension;
        std::string initialName;
        unsigned options;
    };

    std::deque<FileChoice> openAnswers;
    std::deque<FileChoice> saveAnswers;

    std::vector<std::string> openFilters;
    std::vector<SaveDialog> saveDialogs;
    std::vector<std::string> messages;
    std::string sourceGameField;
    std::string itemField;
    int fieldUpdates = 0;
    int outOfMemoryReports = 0;

    FileChoice promptOpenFile(const std::string& filter, unsigned options) override;
    FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setSourceGameField(const std::string& text) override {
        sourceGameField = text;
        ++fieldUpdates;
    }
    void setItemField(const std::string& text) override {
        itemField = text;
        ++fieldUpdates;
    }
    void reportOutOfMemory() override { ++outOfMemoryReports; }
};

} // namespace relicwright::fuzz
