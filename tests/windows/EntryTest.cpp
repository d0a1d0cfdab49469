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
#include <utility>
#include <vector>

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

PROCESS_INFORMATION startProcess(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    return process;
}

std::string bytesOf(const std::wstring& path) {
    std::string content;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) content += static_cast<char>(c);
        std::fclose(file);
    }
    return content;
}

// The visible message boxes of the processes.
std::vector<HWND> boxesOf(const std::vector<PROCESS_INFORMATION>& processes) {
    std::pair<const std::vector<PROCESS_INFORMATION>*, std::vector<HWND>> found{&processes, {}};
    EnumWindows(
        [](HWND candidate, LPARAM into) -> BOOL {
            auto& [owners, boxes] = *reinterpret_cast<decltype(found)*>(into);
            DWORD owner = 0;
            GetWindowThreadProcessId(candidate, &owner);
            wchar_t kind[16] = {};
            GetClassNameW(candidate, kind, 16);
            if (IsWindowVisible(candidate) && std::wstring(kind) == L"#32770" &&
                std::any_of(owners->begin(), owners->end(), [&](auto& p) { return p.dwProcessId == owner; })) {
                boxes.push_back(candidate);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.second;
}

// "Convert to Hellfire item" chosen in Explorer on several files: Explorer starts the command the
// installer registered once per file, all at once; the files are converted in one run, as the
// command line converts them, and only that run shows a summary.
TEST(ExplorerSelection, ConvertsInOneRunWithOneSummary) {
    wchar_t stored[1024] = {};
    DWORD size = sizeof stored;
    std::wstring command = L"\"" + windowProgram + L"\" --convert-to hellfire \"%1\"";
    if (RegGetValueW(HKEY_CURRENT_USER,
                     L"Software\\Classes\\SystemFileAssociations\\.itm\\shell\\RelicwrightConvertToHellfire\\command",
                     nullptr, RRF_RT_REG_SZ, nullptr, stored, &size) == ERROR_SUCCESS) {
        command = stored;
    } else {
        ASSERT_EQ(_wgetenv(L"RELICWRIGHT_PROGRAMS"), nullptr) << "the installer registered no command";
    }
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring dir = temporary + std::wstring(L"relicwright-selection-") + std::to_wstring(GetCurrentProcessId());
    const std::wstring expectedDir = dir + L"-expected", kept = dir + L"\\exists.hif", keptToo = dir + L"\\exists too.hif";
    // Two files whose outputs exist: without gathering, each one's process would show a summary.
    const std::vector<std::pair<std::wstring, std::wstring>> files{
        {L"dagger.itm", L"dagger.itm"}, {L"a ring of mine.itm", L"ring.itm"},
        {L"\u03bc\u03b1\u03c7\u03b1\u03af\u03c1\u03b9.itm", L"butchers-cleaver.itm"}, {L"\u77ed\u5263.itm", L"dagger.itm"},
        {L"exists.itm", L"ring.itm"}, {L"exists too.itm", L"dagger.itm"}};
    std::wstring cli = L"\"" + commandLine + L"\" convert --to hellfire";
    for (const auto& folder : {dir, expectedDir}) {
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const auto& [name, sample] : files) {
            ASSERT_TRUE(CopyFileW((samples + sample).c_str(), (folder + L"\\" + name).c_str(), FALSE));
            cli += folder == expectedDir ? L" \"" + folder + L"\\" + name + L"\"" : L"";
        }
    }
    for (const auto& path : {kept, keptToo}) {
        ASSERT_TRUE(CopyFileW((samples + L"amulet.hif").c_str(), path.c_str(), FALSE));
    }

    std::vector<PROCESS_INFORMATION> started;
    for (const auto& [name, sample] : files) {
        std::wstring line = command;
        started.push_back(startProcess(line.replace(line.find(L"%1"), 2, dir + L"\\" + name)));
    }
    for (int wait = 0; wait < 600 && boxesOf(started).empty(); ++wait) {
        Sleep(100);
    }
    Sleep(4000); // a second summary would show by now, the first process having stopped gathering
    const std::vector<HWND> shown = boxesOf(started);
    ASSERT_EQ(shown.size(), 1u);
    wchar_t box[4096] = {};
    GetDlgItemTextW(shown.front(), 0xFFFF, box, 4096);
    const std::wstring text = box;
    EXPECT_EQ(text.substr(0, text.find(L'\n')), L"2 of 6 files were not converted to Hellfire:");
    EXPECT_NE(text.find(L"\nexists.itm: " + kept + L" already exists"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"\nexists too.itm: " + keptToo + L" already exists"), std::wstring::npos);
    PostMessageW(shown.front(), WM_COMMAND, IDOK, 0);
    DWORD failed = 0;
    for (const auto& process : started) {
        DWORD status = 2;
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
        GetExitCodeProcess(process.hProcess, &status);
        failed += status; // 1 for the one that showed the summary, 0 for each that handed over
    }
    EXPECT_EQ(failed, 1u);

    const PROCESS_INFORMATION expected = startProcess(cli);
    WaitForSingleObject(expected.hProcess, 60000);
    for (const auto& [name, sample] : files) {
        const std::wstring output = L"\\" + name.substr(0, name.size() - 3) + L"hif";
        EXPECT_EQ(bytesOf(dir + output).size(), 400u);
        EXPECT_EQ(bytesOf(dir + output), name.starts_with(L"exists") ? bytesOf(samples + L"amulet.hif")
                                                                      : bytesOf(expectedDir + output));
    }
    for (const auto& folder : {dir, expectedDir}) {
        for (const auto& [name, sample] : files) {
            DeleteFileW((folder + L"\\" + name).c_str());
            DeleteFileW((folder + L"\\" + name.substr(0, name.size() - 3) + L"hif").c_str());
        }
        RemoveDirectoryW(folder.c_str());
    }
}

} // namespace
