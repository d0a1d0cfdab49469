#pragma once

#include "DispatchGuard.h"
#include "HelpPage.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace relicwright {
class Converter;
class FileSteps;
} // namespace relicwright

namespace relicwright::winui {

class AboutBox;
class ComboChoiceList;
class ConverterApp;
class FileDialogs;
class MessageBoxes;
class Win32WindowServices;

inline constexpr const char* kHelpFailedText = "Failed to launch help.";

// Dialog 102, the program's one window: Load and Save, the loaded item and game, the item and
// target-game lists. It owns the conversion workflow and handles every message inside one
// dispatch guard, so an error is shown in a message box and the window carries on.
class MainWindow {
public:
    // Everything the window talks to outside itself; all must outlive the window. The program
    // passes the common dialogs, MessageBox and the platform's file steps; tests pass fakes.
    struct Services {
        FileDialogs& fileDialogs;
        MessageBoxes& messages;
        FileSteps& files;
    };

    // `app` gives the message-box caption and the help page; it must outlive the window.
    MainWindow(const ConverterApp& app, const Services& services);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the window modally until it ends; returns IDOK or IDCANCEL.
    INT_PTR run();
    // Creates the window without a loop of its own, for a caller that pumps messages (tests).
    HWND create();

    HWND handle() const { return window_; }
    const Converter& converter() const { return *converter_; }
    // How the window ended (IDOK or IDCANCEL); empty while it is open.
    std::optional<INT_PTR> ending() const { return ending_; }

    // Loads the file as if the file-open dialog had returned it.
    void loadFile(const std::string& path);
    // The same, once the window is up: errors are shown over the window.
    void loadWhenShown(std::string path) { pendingFile_ = std::move(path); }
    // The system menu's About entry: the About box, modal over this window.
    void showAboutBox();
    // F1: the help page at the topic's section, or a warning when it cannot be shown.
    void requestHelp(unsigned topic);
    // The window that owns message boxes now: the About box while it is open, else this window.
    HWND messageOwner() const;

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void open(HWND window);
    bool onCommand(WORD id, WORD code);
    bool paintMinimised();
    void takeDrop(HDROP drop);

    const ConverterApp& app_;
    Services services_;
    HelpPage help_;
    HICON icon_;
    DispatchGuard guard_;
    HWND window_ = nullptr;
    AboutBox* aboutBox_ = nullptr;
    std::optional<std::string> pendingFile_;
    std::optional<INT_PTR> ending_;

    std::unique_ptr<ComboChoiceList> itemChoices_;
    std::unique_ptr<ComboChoiceList> targetChoices_;
    std::unique_ptr<Win32WindowServices> windowServices_;
    std::unique_ptr<Converter> converter_;
};

} // namespace relicwright::winui
