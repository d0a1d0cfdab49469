#include "ConverterApp.h"
#include "SystemMessageBoxes.h"

#include <windows.h>
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The manifest asks for common controls 6; loading them now gives the dialog their look.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    using relicwright::winui::ConverterApp;
    relicwright::winui::SystemMessageBoxes boxes;
    return ConverterApp(ConverterApp::currentProgramPath()).start(GetCommandLineW(), boxes);
}
