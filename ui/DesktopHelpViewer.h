#pragma once

#include "HelpViewer.h"

#include <string>

namespace relicwright {

// Help on a Linux desktop: the program's HTML help page, opened in the desktop's browser at the
// section for the topic. The page is looked for next to the program (a build tree) and then where
// the package installs it.
class DesktopHelpViewer final : public HelpViewer {
public:
    explicit DesktopHelpViewer(std::string programPath);

    bool showTopic(QWidget* owner, unsigned topic, std::function<void()> failedLater) override;

    // The help page for the program at `programPath`; empty when there is none.
    static std::string helpPageFor(const std::string& programPath);

private:
    std::string programPath_;
};

} // namespace relicwright
