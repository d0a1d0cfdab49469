#pragma once

#include "ui/HelpViewer.h"

#include <string>
#include <vector>

namespace relicwright::testing {

// A help viewer that records each request and starts or fails as told.
class FakeHelpViewer final : public HelpViewer {
public:
    struct Request {
        QWidget* owner;
        std::string helpFilePath;
        unsigned topic;
    };
    std::vector<Request> requests;
    bool starts = true;

    bool showTopic(QWidget* owner, const std::string& helpFilePath, unsigned topic) override {
        requests.push_back({owner, helpFilePath, topic});
        return starts;
    }
};

} // namespace relicwright::testing
