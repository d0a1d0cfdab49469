#pragma once

#include "FileDialogs.h"
#include "HelpPage.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "ResourceIds.h"
#include "WideText.h"

#include "Application.h"
#include "FileSteps.h"
#include "FakeWindow.h"
#include "ScratchDirectory.h"

#include <gtest/gtest.h>

namespace relicwright::winui::testing {

struct RecordedBoxes : MessageBoxes {
    struct Box {
        HWND owner;
        std::string caption, text;
        UINT style;
    };
    std::vector<Box> shown;
    void show(HWND owner, const std::string& caption, const std::string& text, UINT style) override {
        shown.push_back({owner, caption, text, style});
    }
};

// Both file dialogs answered and recorded by the shared fake window.
struct FakeDialogs : FileDialogs {
    relicwright::testing::FakeWindow fake;
    FileChoice promptOpenFile(HWND, const std::string& filter, unsigned options) override {
        return fake.promptOpenFile(filter, options);
    }
    FileChoice promptSaveFile(HWND, const std::string& filter, const std::string& extension, const std::string& name,
                              unsigned options) override {
        return fake.promptSaveFile(filter, extension, name, options);
    }
};

// A page that is there, whose addresses are recorded; no browser starts, so help then warns.
struct RecordedHelp : HelpPage {
    using HelpPage::HelpPage;
    mutable std::vector<std::string> shown;
    bool show(HWND, const std::string& address) const override {
        shown.push_back(address);
        return false;
    }
};

// The main window, open in this process and driven with window messages, beside a scratch folder.
class WindowTest : public ::testing::Test {
public:
    static std::string textOf(HWND window) {
        std::wstring buffer(256, L'\0');
        buffer.resize(static_cast<std::size_t>(GetWindowTextW(window, buffer.data(), 256)));
        return narrow(buffer);
    }
    std::string text(int id) const { return textOf(control(id)); }
    HWND control(int id) const { return GetDlgItem(dialog, id); }
    LRESULT send(int id, UINT message, WPARAM wParam = 0) const { return SendMessageW(control(id), message, wParam, 0); }
    // A key at the focused control, as the dialog's message loop hands it on.
    static void key(HWND window, WPARAM virtualKey) {
        MSG message{GetFocus(), WM_KEYDOWN, virtualKey, 1, 0, {}};
        IsDialogMessageW(window, &message);
    }
    static void pump() {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
    }

    relicwright::testing::ScratchDirectory dir;
    RecordedBoxes boxes;
    FakeDialogs dialogs;
    relicwright::testing::FakeWindow& fake = dialogs.fake;
    RecordedHelp help{dir.write("help.html", std::vector<std::uint8_t>{})};
    MainWindow::Services services{dialogs, boxes, platformFileSteps(), help};
    MainWindow window{"Relicwright", services};
    HWND dialog = window.create();
};

} // namespace relicwright::winui::testing
