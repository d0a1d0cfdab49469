#pragma once

#include "HelpViewer.h"

#include <string>

namespace relicwright {

// Help on a Linux desktop: the program's HTML help page, opened in the desktop's browser at the
// section for the topic. The page is looked for next to the program (a build tree) and then where
// the package installs it.
class DesktopHelpViewer final : public HelpViewer {
public:
    bool showTopic(QWidget* owner, const std::string& helpFilePath, unsigned topic,
                   std::function<void()> failedLater) override;

    // The page that stands for the help file at `helpFilePath`; empty when there is none.
    static std::string helpPageFor(const std::string& helpFilePath);
    // The section of the page for a topic; empty for a topic the page has no section for.
    static std::string sectionOf(unsigned topic);
};

} // namespace relicwright
