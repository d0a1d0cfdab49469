#pragma once

#include "HelpViewer.h"

namespace relicwright {

// Help on a Linux desktop: the help file goes to whatever program the desktop opens such files
// with. Such a program cannot be asked for a topic, so the topic is not passed on.
class DesktopHelpViewer final : public HelpViewer {
public:
    bool showTopic(QWidget* owner, const std::string& helpFilePath, unsigned topic) override;
};

} // namespace relicwright
