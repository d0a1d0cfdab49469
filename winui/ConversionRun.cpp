#include "ConversionRun.h"

#include "MessageBoxes.h"
#include "WideText.h"

#include "Application.h"
#include "ConversionReport.h"

#include <windows.h>

#include <vector>

namespace relicwright::winui {

int ConversionRun::run(const Application::Start& start, const std::string& applicationName) {
    return convert(start.target, start.files, {}, applicationName);
}

int ConversionRun::convert(GameVariant target, const std::vector<std::string>& files,
                           const std::vector<FileError>& refused, const std::string& applicationName) {
    ConversionReport report = ConversionReport::run(target, files);
    for (const FileError& refusal : refused) {
        report.addNotConverted(refusal.path(), refusal.message());
    }
    if (report.status() != 0) {
        MessageBoxW(nullptr, widen(report.summary()).c_str(), widen(applicationName).c_str(),
                    MB_OK | MB_SETFOREGROUND | iconStyle(report.icon()));
    }
    return report.status();
}

} // namespace relicwright::winui
