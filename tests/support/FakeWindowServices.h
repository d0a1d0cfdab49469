#pragma once

#include "converter/WindowServices.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace relicwright::testing {

// Stands in for the window: answers the file dialogs from queues and records everything shown.
class FakeWindowServices : public WindowServices {
public:
    struct SaveRequest {
        std::string filter;
        std::string defaultExtension;
        std::string initialName;
        unsigned options;
    };
    struct OpenRequest {
        std::string filter;
        unsigned options;
    };

    std::deque<FileChoice> openAnswers;
    std::deque<FileChoice> saveAnswers;
    std::vector<OpenRequest> openRequests;
    std::vector<SaveRequest> saveRequests;
    std::vector<std::string> messages;
    std::string sourceGameField;
    std::string itemField;
    int pushes = 0;
    int outOfMemoryReports = 0;

    void answerOpen(const std::string& path) { openAnswers.push_back(FileChoice::fromPath(path)); }
    void answerSave(const std::string& path) { saveAnswers.push_back(FileChoice::fromPath(path)); }
    void cancelOpen() { openAnswers.push_back(FileChoice::cancelled()); }
    void cancelSave() { saveAnswers.push_back(FileChoice::cancelled()); }

    FileChoice promptOpenFile(const std::string& filter, unsigned options) override {
        openRequests.push_back({filter, options});
        return next(openAnswers, "open");
    }
    FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override {
        saveRequests.push_back({filter, defaultExtension, initialName, options});
        return next(saveAnswers, "save");
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setSourceGameField(const std::string& text) override {
        sourceGameField = text;
        ++pushes;
    }
    void setItemField(const std::string& text) override { itemField = text; }
    void reportOutOfMemory() override { ++outOfMemoryReports; }

private:
    static FileChoice next(std::deque<FileChoice>& answers, const char* which) {
        if (answers.empty()) {
            throw std::logic_error(std::string("unexpected ") + which + " dialog");
        }
        FileChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace relicwright::testing
