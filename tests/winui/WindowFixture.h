#pragma once

#include "winui/ConverterApp.h"
#include "winui/FileDialogs.h"
#include "winui/MainWindow.h"
#include "winui/MessageBoxes.h"
#include "winui/ResourceIds.h"
#include "winui/WideText.h"

#include "itemdata/FileSteps.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>

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

// Answers both file dialogs from one queue, "cancelled" when it is empty, and records the requests.
struct QueuedDialogs : FileDialogs {
    std::deque<std::string> answers;
    std::vector<std::string> openFilters, saveNames;
    FileChoice next() {
        const std::string path = answers.empty() ? std::string() : answers.front();
        if (!answers.empty()) answers.pop_front();
        return path.empty() ? FileChoice::cancelled() : FileChoice::fromPath(path);
    }
    FileChoice promptOpenFile(HWND, const std::string& filter, unsigned) override {
        openFilters.push_back(filter);
        return next();
    }
    FileChoice promptSaveFile(HWND, const std::string&, const std::string&, const std::string& name,
                              unsigned) override {
        saveNames.push_back(name);
        return next();
    }
};

// The main window, open in this process and driven with window messages, beside a scratch folder.
class WindowTest : public ::testing::Test {
public:
    WindowTest() { std::filesystem::create_directories(dir_); }
    ~WindowTest() override { std::filesystem::remove_all(dir_); }

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
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    // 400 bytes: the game's header, then distinct bytes, with the base item code at its offset.
    std::string itemFile(const std::string& name, bool hellfire, std::uint8_t code) const {
        std::string bytes(400, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        const std::string header = hellfire ? "HELLFIRE ITEM FILE" : "ITM01.I'll get that al'Thor!";
        bytes.replace(0, hellfire ? 28 : 32, header + std::string(hellfire ? 10 : 4, '\0'));
        bytes[hellfire ? 388 : 392] = static_cast<char>(code);
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    std::filesystem::path dir_ = std::filesystem::temp_directory_path() /
                                 ("relicwright-winui-" + std::to_string(GetCurrentProcessId()));
    RecordedBoxes boxes;
    QueuedDialogs dialogs;
    ConverterApp app{path("Relicwright.exe")};
    MainWindow window{app, MainWindow::Services{dialogs, boxes, platformFileSteps()}};
    HWND dialog = window.create();
};

} // namespace relicwright::winui::testing
