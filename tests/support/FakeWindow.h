#pragma once

#include "WindowServices.h"

#include <deque>
#include <string>
#include <vector>

namespace relicwright::testing {

// Stands in for the window: answers file dialogs from a queue (then cancels), records every message.
class FakeWindow : public WindowServices {
public:
    struct Request {
        std::string filter;
        std::string defaultExtension;
        std::string initialName;
        unsigned options = 0;
    };

    std::deque<FileChoice> answers;
    std::vector<Request> openRequests;
    std::vector<Request> saveRequests;
    std::vector<std::string> messages;
    std::string sourceGameField = "unset";
    std::string itemField = "unset";

    void answer(const std::string& path) { answers.push_back(FileChoice::fromPath(path)); }
    void cancel() { answers.push_back(FileChoice::cancelled()); }

    FileChoice promptOpenFile(const std::string& filter, unsigned options) override {
        openRequests.push_back({filter, {}, {}, options});
        return next();
    }
    FileChoice promptSaveFile(const std::string& filter, const std::string& defaultExtension,
                              const std::string& initialName, unsigned options) override {
        saveRequests.push_back({filter, defaultExtension, initialName, options});
        return next();
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setSourceGameField(const std::string& text) override { sourceGameField = text; }
    void setItemField(const std::string& text) override { itemField = text; }
    void reportOutOfMemory() override {}

private:
    FileChoice next() {
        if (answers.empty()) {
            return FileChoice::cancelled();
        }
        FileChoice choice = answers.front();
        answers.pop_front();
        return choice;
    }
};

} // namespace relicwright::testing
