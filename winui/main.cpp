#include "ConversionRun.h"
#include "ConverterApp.h"
#include "WideText.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

// The one application object, there before the program's own start-up runs.
relicwright::winui::ConverterApp theApp(relicwright::winui::ConverterApp::currentProgramPath());

// The first argument, if any: a file to open, as a file manager passes it.
std::optional<std::string> fileArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> file;
    if (count >= 2 && arguments[1][0] != L'\0') {
        file = relicwright::winui::narrow(arguments[1]);
    }
    LocalFree(arguments);
    return file;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for common controls 6; loading them now gives the dialog their look.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (const auto status = relicwright::winui::ConversionRun::runIfAsked(theApp.applicationName())) {
        return *status;
    }
    return theApp.run(fileArgument());
}
