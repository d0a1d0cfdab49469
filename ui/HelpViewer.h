#pragma once

#include <functional>
#include <string>

class QWidget;

namespace relicwright {

// Help topics are numbered after the dialog that asks: 131072 plus the dialog's number.
constexpr unsigned helpTopicOfDialog(unsigned dialogNumber) {
    return 0x20000u + dialogNumber;
}

// Whatever shows the program's help file.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Asks for the topic of the help file; false when no viewer could be started. A viewer that
    // started and then reports that it could not show the page calls `failedLater`.
    virtual bool showTopic(QWidget* owner, const std::string& helpFilePath, unsigned topic,
                           std::function<void()> failedLater) = 0;
};

} // namespace relicwright
