#pragma once

#include "ui/MessagePresenter.h"

#include <functional>
#include <string>
#include <vector>

namespace relicwright::testing {

// Message boxes that are recorded instead of shown, each dismissed at once.
class RecordingMessagePresenter final : public MessagePresenter {
public:
    struct Shown {
        QWidget* owner;
        Message message;
        std::string text() const { return message.text.toStdString(); }
    };
    std::vector<Shown> shown;
    // Runs while the box would be open, for tests that act meanwhile.
    std::function<void(const Shown&)> whileOpen;

    void present(QWidget* owner, const Message& message) override {
        shown.push_back({owner, message});
        if (whileOpen) {
            whileOpen(shown.back());
        }
    }
};

} // namespace relicwright::testing
