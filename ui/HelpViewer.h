#pragma once

#include <functional>

class QWidget;

namespace relicwright {

// Whatever shows the program's help.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Asks for a help topic (Application::helpTopic); false when no viewer could be started. A
    // viewer that started and then reports that it could not show the page calls `failedLater`.
    virtual bool showTopic(QWidget* owner, unsigned topic, std::function<void()> failedLater) = 0;
};

} // namespace relicwright
