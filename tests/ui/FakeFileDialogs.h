#pragma once

#include "ui/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace relicwright::testing {

// File dialogs that return queued answers at once and record how they were asked.
class FakeFileDialogs final : public FileDialogs {
public:
    struct OpenCall {
        QWidget* owner;
        std::string filter;
        unsigned options;
    };
    struct SaveCall {
        QWidget* owner;
        std::string filter;
        std::string defaultExtension;
        std::string initialName;
        unsigned options;
    };

    std::vector<OpenCall> openCalls;
    std::vector<SaveCall> saveCalls;

    void answerOpen(const std::string& path) { openAnswers.push_back(FileChoice::fromPath(path)); }
    void answerSave(const std::string& path) { saveAnswers.push_back(FileChoice::fromPath(path)); }
    void cancelOpen() { openAnswers.push_back(FileChoice::cancelled()); }
    void cancelSave() { saveAnswers.push_back(FileChoice::cancelled()); }

    FileChoice promptOpenFile(QWidget* owner, const std::string& filter, unsigned options) override {
        openCalls.push_back({owner, filter, options});
        return next(openAnswers);
    }
    FileChoice promptSaveFile(QWidget* owner, const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override {
        saveCalls.push_back({owner, filter, defaultExtension, initialName, options});
        return next(saveAnswers);
    }

private:
    std::deque<FileChoice> openAnswers;
    std::deque<FileChoice> saveAnswers;

    // An unanswered dialog counts as cancelled.
    static FileChoice next(std::deque<FileChoice>& answers) {
        if (answers.empty()) {
            return FileChoice::cancelled();
        }
        FileChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace relicwright::testing
