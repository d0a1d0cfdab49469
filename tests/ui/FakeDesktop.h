#pragma once

#include "tests/support/FakeWindow.h"
#include "ui/FileDialogs.h"
#include "ui/HelpViewer.h"
#include "ui/MessagePresenter.h"

#include <QWidget>

namespace relicwright::testing {

// The Qt window's dialogs, message boxes and help viewer, answered and recorded by the shared fake.
struct FakeDesktop : FileDialogs, MessagePresenter, HelpViewer {
    struct Shown {
        Message message;
        bool overVisibleOwner;
    };
    FakeWindow fake;
    std::vector<Shown> shown;
    std::vector<unsigned> topics;

    FileChoice promptOpenFile(QWidget*, const std::string& filter, unsigned options) override {
        return fake.promptOpenFile(filter, options);
    }
    FileChoice promptSaveFile(QWidget*, const std::string& filter, const std::string& extension,
                              const std::string& name, unsigned options) override {
        return fake.promptSaveFile(filter, extension, name, options);
    }
    void present(QWidget* owner, const Message& message) override {
        shown.push_back({message, owner != nullptr && owner->isVisible()});
    }
    bool showTopic(QWidget*, const std::string&, unsigned topic, std::function<void()>) override {
        topics.push_back(topic);
        return false;
    }
};

} // namespace relicwright::testing
