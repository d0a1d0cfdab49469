// relicwright.exe and relicwright-cli.exe started as processes, the way a person, Explorer or a
// script starts them. RELICWRIGHT_PROGRAMS and RELICWRIGHT_SAMPLES may name the folders of an
// installed copy instead of the build's.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::wstring folder(const wchar_t* variable, const wchar_t* built) {
    const wchar_t* value = _wgetenv(variable);
    return (value != nullptr ? value : built) + std::wstring(L"\\");
}
const std::wstring windowProgram = folder(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_WINDOW) + L"relicwright.exe";
const std::wstring commandLine = folder(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_CLI) + L"relicwright-cli.exe";
const std::wstring samples = folder(L"RELICWRIGHT_SAMPLES", RELICWRIGHT_BUILT_SAMPLES);

PROCESS_INFORMATION start(std::wstring line, HANDLE output = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output;
    }
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    return process;
}

DWORD exitCodeOf(HANDLE process) {
    DWORD code = 0;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// The window, found among the desktop's as a screen reader finds it, then read and closed.
struct StartedWindow {
    PROCESS_INFORMATION process;
    HWND window = nullptr;

    explicit StartedWindow(const std::wstring& arguments)
        : process(start(L"\"" + windowProgram + L"\"" + arguments)) {
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
                    return started.window == nullptr ? TRUE : FALSE;
                },
                reinterpret_cast<LPARAM>(this));
            std::this_thread::yield();
        }
        WaitForInputIdle(process.hProcess, INFINITE);
    }
    std::string text(int id) const {
        char buffer[256] = {};
        GetDlgItemTextA(window, id, buffer, sizeof buffer);
        return buffer;
    }
    LRESULT selection(int id) const { return SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0); }
    DWORD close() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return exitCodeOf(process.hProcess);
    }
};

constexpr int kItemField = 1003, kItemList = 1005, kGameField = 1006, kTargetList = 1007;

TEST(WindowStart, WithoutAnArgumentShowsTheStartState) {
    StartedWindow started(L"");
    ASSERT_NE(started.window, nullptr);
    EXPECT_EQ(started.text(kItemField), "<Empty>");
    EXPECT_EQ(started.text(kGameField), "<Empty>");
    EXPECT_EQ(started.selection(kItemList), CB_ERR);
    EXPECT_EQ(started.selection(kTargetList), CB_ERR);
    EXPECT_EQ(started.close(), 0u);
}

TEST(WindowStart, WithAFileArgumentShowsThatFile) {
    StartedWindow started(L" \"" + samples + L"dagger.itm\"");
    ASSERT_NE(started.window, nullptr);
    EXPECT_EQ(started.text(kItemField), "Dagger");
    EXPECT_EQ(started.text(kGameField), "Diablo");
    EXPECT_EQ(started.close(), 0u);
}

// A path from the root of the current drive, written with "/", is a file, not an option.
TEST(CommandLine, TakesASlashRootedPath) {
    std::wstring path = samples.substr(2) + L"dagger.itm";
    for (auto& character : path) {
        character = character == L'\\' ? L'/' : character;
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherit, 0));
    SetCurrentDirectoryW(samples.substr(0, 3).c_str());
    const PROCESS_INFORMATION process = start(L"\"" + commandLine + L"\" info " + path, writer);
    CloseHandle(writer);
    std::string output;
    char buffer[512];
    for (DWORD got = 0; ReadFile(reader, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
        output.append(buffer, got);
    }
    CloseHandle(reader);
    EXPECT_EQ(exitCodeOf(process.hProcess), 0u) << output;
    EXPECT_NE(output.find("Dagger"), std::string::npos) << output;
}

} // namespace
