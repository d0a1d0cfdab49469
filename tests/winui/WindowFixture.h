#pragma once

#include "winui/ConverterApp.h"
#include "winui/FileDialogs.h"
#include "winui/MainWindow.h"
#include "winui/MessageBoxes.h"
#include "winui/ResourceIds.h"
#include "itemdata/WideText.h"

#include "itemdata/FileSteps.h"
#include "tests/support/FakeWindow.h"
#include "tests/support/ScratchDirectory.h"

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

// The main window, open in this process and driven with window messages, beside a scratch folder.
class WindowTest : public ::testing::Test {
public:
    static std::string textOf(HWND window, int id) {
        std::wstring buffer(256, L'\0');
        buffer.resize(static_cast<std::size_t>(GetDlgItemTextW(window, id, buffer.data(), 256)));
        return narrow(buffer);
    }
    std::string text(int id) const { return textOf(dialog, id); }
    HWND control(int id) const { return GetDlgItem(dialog, id); }
    LRESULT send(int id, UINT message, WPARAM wParam = 0) const { return SendMessageW(control(id), message, wParam, 0); }
    void closeUpTargets() const {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TARGET_LIST, CBN_CLOSEUP), LPARAM(control(IDC_TARGET_LIST)));
    }
    // A key at the focused control, as the dialog's message loop hands it on.
    static void key(HWND window, WPARAM virtualKey) {
        MSG message{GetFocus(), WM_KEYDOWN, virtualKey, 1, 0, {}};
        IsDialogMessageW(window, &message);
    }
    static void pump() {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
    }
    std::string itemFile(const std::string& name, GameVariant variant, std::uint8_t code) const {
        return dir.write(name, relicwright::testing::sampleImage(variant, code));
    }

    relicwright::testing::ScratchDirectory dir;
    RecordedBoxes boxes;
    FakeDialogs dialogs;
    relicwright::testing::FakeWindow& fake = dialogs.fake;
    ConverterApp app{dir.path("Relicwright.exe")};
    MainWindow window{app, MainWindow::Services{dialogs, boxes, platformFileSteps()}};
    HWND dialog = window.create();
};

} // namespace relicwright::winui::testing
