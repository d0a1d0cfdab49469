#include "ConverterApp.h"
#include "SystemMessageBoxes.h"
#include "itemdata/WideText.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

// The one application object, there before the program's own start-up runs.
relicwright::winui::ConverterApp theApp(relicwright::winui::ConverterApp::currentProgramPath());

// The first argument, if any: a file to open, as a file manager passes it. A name that does not
// convert is refused as a failed load is, before the window starts empty: no other name is loaded.
std::optional<std::string> fileArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> file;
    if (count >= 2 && arguments[1][0] != L'\0') {
        try {
            file = relicwright::narrow(arguments[1]);
        } catch (const relicwright::FileError& refusal) {
            relicwright::winui::SystemMessageBoxes().show(nullptr, theApp.applicationName(), refusal.message(),
                                                          MB_OK | MB_ICONSTOP | MB_APPLMODAL);
        }
    }
    LocalFree(arguments);
    return file;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for common controls 6; loading them now gives the dialog their look.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return theApp.run(fileArgument());
}
