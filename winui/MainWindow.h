#pragma once

#include "DispatchGuard.h"

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
class FileDialogs;
class HelpPage;
class MessageBoxes;
class ScaledPictures;
class Win32WindowServices;

// Dialog 102, the program's one window: Load and Save, the loaded item and game, the item and
// target-game lists. It owns the conversion workflow and handles every message inside one
// dispatch guard, so an error is shown in a message box and the window carries on.
class MainWindow {
public:
    // Everything the window talks to outside itself; all must outlive the window. The program
    // passes the common dialogs, MessageBox, the platform's file steps and the page beside it;
    // tests pass fakes.
    struct Services {
        FileDialogs& fileDialogs;
        MessageBoxes& messages;
        FileSteps& files;
        const HelpPage& help;
    };

    // applicationName: the caption of every message box.
    MainWindow(const std::string& applicationName, const Services& services);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the window modally until it ends; returns IDOK or IDCANCEL.
    INT_PTR run();
    // Creates the window without a loop of its own, for a caller that pumps messages (tests).
    HWND create();

    // How the window ended (IDOK or IDCANCEL); empty while it is open.
    std::optional<INT_PTR> ending() const { return ending_; }

    // Loads the file once the window is up, so that its errors are shown over the window.
    void loadWhenShown(std::string path) { pendingFile_ = std::move(path); }

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void open(HWND window);
    bool onCommand(WORD id, WORD code);
    bool paintMinimised();
    void takeDrop(HDROP drop);
    // The file loads as a confirmed dialog answer does, without asking the dialog.
    void loadFile(const std::string& path);
    // The system menu's About entry: the About box, modal over this window.
    void showAboutBox();
    // F1: the help page at the topic's section, or a warning when it cannot be shown.
    void requestHelp(unsigned topic);
    // The window that owns message boxes now: the About box while it is open, else this window.
    HWND messageOwner() const;

    Services services_;
    HICON icon_;
    DispatchGuard guard_;
    HWND window_ = nullptr;
    AboutBox* aboutBox_ = nullptr;
    std::optional<std::string> pendingFile_;
    std::optional<INT_PTR> ending_;

    std::unique_ptr<ComboChoiceList> itemChoices_;
    std::unique_ptr<ComboChoiceList> targetChoices_;
    std::unique_ptr<Win32WindowServices> windowServices_;
    // The banner and icons drawn for the scale of the screen the window is on.
    std::unique_ptr<ScaledPictures> pictures_;
    std::unique_ptr<Converter> converter_;
};

} // namespace relicwright::winui
