// relicwright.exe and relicwright-cli.exe started as processes, the way a person, Explorer or a
// script starts them. RELICWRIGHT_PROGRAMS and RELICWRIGHT_SAMPLES may name an installed copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::wstring folder(const wchar_t* variable, const wchar_t* built) {
    const wchar_t* value = _wgetenv(variable);
    return (value != nullptr ? value : built) + std::wstring(L"\\");
}
const std::wstring windowProgram = folder(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_WINDOW) + L"relicwright.exe";
const std::wstring commandLine = folder(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_CLI) + L"relicwright-cli.exe";
const std::wstring samples = folder(L"RELICWRIGHT_SAMPLES", RELICWRIGHT_BUILT_SAMPLES);

// The window, found among the desktop's top-level windows as a screen reader finds it.
struct StartedWindow {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;

    explicit StartedWindow(const std::wstring& arguments) {
        std::wstring line = L"\"" + windowProgram + L"\"" + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        while (window == nullptr && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            WaitForInputIdle(process.hProcess, INFINITE);
            EnumWindows(
                [](HWND candidate, LPARAM self) -> BOOL {
                    auto& started = *reinterpret_cast<StartedWindow*>(self);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(candidate, &owner);
                    if (owner == started.process.dwProcessId && IsWindowVisible(candidate)) {
                        started.window = candidate;
                    }
                    return started.window == nullptr;
                },
                reinterpret_cast<LPARAM>(this));
            SwitchToThread();
        }
        WaitForInputIdle(process.hProcess, INFINITE);
        EXPECT_NE(window, nullptr) << "no window";
    }
    std::string text(int id) const {
        char buffer[256] = {};
        return GetDlgItemTextA(window, id, buffer, sizeof buffer) > 0 ? buffer : "";
    }
    LRESULT selection(int id) const { return SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0); }
    DWORD close() const {
        DWORD code = PostMessageW(window, WM_CLOSE, 0, 0) ? WaitForSingleObject(process.hProcess, INFINITE) : 1;
        return GetExitCodeProcess(process.hProcess, &code) ? code : 1;
    }
};

constexpr int kItemField = 1003, kItemList = 1005, kGameField = 1006, kTargetList = 1007;

TEST(WindowStart, WithoutAnArgumentShowsTheStartState) {
    const StartedWindow started(L"");
    EXPECT_EQ(started.text(kItemField), "<Empty>");
    EXPECT_EQ(started.text(kGameField), "<Empty>");
    EXPECT_EQ(started.selection(kItemList), CB_ERR);
    EXPECT_EQ(started.selection(kTargetList), CB_ERR);
    EXPECT_EQ(started.close(), 0u);
}

TEST(WindowStart, WithAFileArgumentShowsThatFile) {
    const StartedWindow started(L" \"" + samples + L"dagger.itm\"");
    EXPECT_EQ(started.text(kItemField), "Dagger");
    EXPECT_EQ(started.text(kGameField), "Diablo");
    EXPECT_EQ(started.close(), 0u);
}

// A path from the root of the current drive, written with "/", is a file and not an option.
TEST(CommandLine, TakesASlashRootedPath) {
    std::wstring path = samples.substr(2) + L"dagger.itm";
    std::replace(path.begin(), path.end(), L'\\', L'/');
    SetCurrentDirectoryW(samples.substr(0, 3).c_str());
    FILE* output = _wpopen((L"\"\"" + commandLine + L"\" info " + path + L"\"").c_str(), L"r");
    ASSERT_NE(output, nullptr);
    std::string text;
    for (int character; (character = std::fgetc(output)) != EOF;) text += static_cast<char>(character);
    EXPECT_EQ(_pclose(output), 0) << text;
    EXPECT_NE(text.find("Dagger"), std::string::npos) << text;
}

} // namespace
