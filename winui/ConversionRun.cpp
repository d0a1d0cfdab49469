#include "ConversionRun.h"

#include "SelectionGathering.h"
#include "WideText.h"

#include "converter/Application.h"
#include "converter/ConversionReport.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace relicwright::winui {

std::optional<int> ConversionRun::runIfAsked(const std::string& applicationName) {
    int count = 0;
    LPWSTR* given = CommandLineToArgvW(GetCommandLineW(), &count);
    if (given == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> arguments;
    for (int index = 1; index < count; ++index) {
        arguments.push_back(narrow(given[index]));
    }
    LocalFree(given);
    // Until "--", where a file may be named so.
    const auto asked = std::find_if(arguments.begin(), std::find(arguments.begin(), arguments.end(), "--"),
                                    [](const std::string& argument) {
                                        return argument.starts_with(Application::kConvertOption);
                                    });
    if (asked == std::find(arguments.begin(), arguments.end(), "--")) {
        return std::nullopt;
    }

    const Application::Start start = Application::startFrom(arguments, applicationName);
    // A GUI program has no console to print to: what a shell would print is shown.
    if (start.action == Application::Start::Action::UsageError || start.action == Application::Start::Action::Print) {
        MessageBoxW(nullptr, widen(start.text).c_str(), widen(applicationName).c_str(),
                    start.status == 0 ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONERROR);
        return start.status;
    }
    if (start.action != Application::Start::Action::Convert) {
        return std::nullopt;
    }
    const std::vector<std::string> files = SelectionGathering::gather(start.target, start.files);
    if (files.empty()) {
        return 0; // handed over: the process that gathers them reports them
    }
    const ConversionReport report = ConversionReport::run(start.target, files);
    if (report.status() != 0) {
        MessageBoxW(nullptr, widen(report.summary()).c_str(), widen(applicationName).c_str(),
                    report.icon() == MessageIcon::Stop ? MB_OK | MB_SETFOREGROUND | MB_ICONERROR
                                                       : MB_OK | MB_SETFOREGROUND | MB_ICONWARNING);
    }
    return report.status();
}

} // namespace relicwright::winui
