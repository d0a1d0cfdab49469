// relicwright.exe and relicwright-cli.exe started as processes, the way a person, Explorer or a
// script starts them. RELICWRIGHT_PROGRAMS and RELICWRIGHT_SAMPLES may name an installed copy.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <iterator>
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

// What relicwright-cli writes to both streams, run through the shell as a script runs it.
std::string runCommandLine(const std::wstring& arguments, int& status) {
    FILE* output = _wpopen((L"\"\"" + commandLine + L"\" " + arguments + L" 2>&1\"").c_str(), L"r");
    std::string text;
    if (output == nullptr) {
        status = -1;
        return text;
    }
    for (int character; (character = std::fgetc(output)) != EOF;) text += static_cast<char>(character);
    status = _pclose(output);
    return text;
}

// Files and folders in the folder, hidden ones included.
std::ptrdiff_t entriesIn(const std::wstring& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

// A path from the root of the current drive, written with "/", is a file and not an option.
TEST(CommandLine, TakesASlashRootedPath) {
    std::wstring path = samples.substr(2) + L"dagger.itm";
    std::replace(path.begin(), path.end(), L'\\', L'/');
    SetCurrentDirectoryW(samples.substr(0, 3).c_str());
    int status = 0;
    const std::string text = runCommandLine(L"info " + path, status);
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("Dagger"), std::string::npos) << text;
}

// A name with a lone surrogate, which NTFS allows (Wine 8 cannot create the file, but the name
// reaches the program all the same): refused with the surrogate written out, while the file that
// the written-out name would be is never touched and the other file is converted.
TEST(CommandLine, RefusesANameThatDoesNotConvert) {
    std::array<wchar_t, MAX_PATH> temp{};
    const std::wstring folder = std::wstring(temp.data(), GetTempPathW(MAX_PATH, temp.data())) +
                                L"relicwright-lone-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring lone = folder + L"\\bad" + static_cast<wchar_t>(0xD800) + L".itm";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored); // left by a run that failed
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    CloseHandle(CreateFileW(lone.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CreateDirectoryW((folder + L"\\bad").c_str(), nullptr);
    CopyFileW((samples + L"dagger.itm").c_str(), (folder + L"\\bad\\uD800.itm").c_str(), TRUE);
    CopyFileW((samples + L"dagger.itm").c_str(), (folder + L"\\good.itm").c_str(), TRUE);
    const bool created = GetFileAttributesW(lone.c_str()) != INVALID_FILE_ATTRIBUTES;

    int status = 0;
    const std::string text =
        runCommandLine(L"convert --to hellfire \"" + lone + L"\" \"" + folder + L"\\good.itm\"", status);
    EXPECT_EQ(status, 1) << text;
    EXPECT_NE(text.find("\\bad\\uD800.itm: not converted: "), std::string::npos) << text;
    EXPECT_NE(text.find("\\bad\\uD800.itm contains an invalid path.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("converted 1 of 2 files"), std::string::npos) << text;
    // Only good.hif is new.
    EXPECT_EQ(entriesIn(folder), created ? 4 : 3);
    EXPECT_EQ(entriesIn(folder + L"\\bad"), 1);
    EXPECT_NE(GetFileAttributesW((folder + L"\\good.hif").c_str()), INVALID_FILE_ATTRIBUTES);

    std::filesystem::remove_all(folder, ignored);
}

} // namespace
