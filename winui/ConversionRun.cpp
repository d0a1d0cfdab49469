#include "ConversionRun.h"

#include "MessageBoxes.h"
#include "SelectionGathering.h"
#include "WideText.h"

#include "Application.h"
#include "ConversionReport.h"

#include <windows.h>

#include <vector>

namespace relicwright::winui {

int ConversionRun::run(const Application::Start& start, const std::string& applicationName) {
    const std::vector<std::string> files = SelectionGathering::gather(start.target, start.files);
    if (files.empty()) {
        return 0; // handed over: the process that gathers them reports them
    }
    const ConversionReport report = ConversionReport::run(start.target, files);
    if (report.status() != 0) {
        MessageBoxW(nullptr, widen(report.summary()).c_str(), widen(applicationName).c_str(),
                    MB_OK | MB_SETFOREGROUND | iconStyle(report.icon()));
    }
    return report.status();
}

} // namespace relicwright::winui
