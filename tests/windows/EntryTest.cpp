// The programs started as a person, a script or Explorer starts them; RELICWRIGHT_PROGRAMS and
// RELICWRIGHT_SAMPLES may name an installed copy, whose registry entries Explorer's cases then use.
#include "ConversionClasses.h"
#include "ExplorerClient.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using relicwright::GameVariant;

std::wstring folderOf(const wchar_t* variable, const wchar_t* built) {
    const wchar_t* value = _wgetenv(variable);
    return (value != nullptr ? value : built) + std::wstring(L"\\");
}
const std::wstring windowProgram =
    folderOf(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_WINDOW) + L"relicwright.exe";
const std::wstring commandLine =
    folderOf(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_CLI) + L"relicwright-cli.exe";
const std::wstring samples = folderOf(L"RELICWRIGHT_SAMPLES", RELICWRIGHT_BUILT_SAMPLES);

// A folder of its own, removed with whatever is in it.
struct Folder {
    fs::path path;
    explicit Folder(const std::wstring& name)
        : path(fs::temp_directory_path() / (name + L"-" + std::to_wstring(GetCurrentProcessId()))) {
        std::error_code ignored;
        fs::remove_all(path, ignored); // left by a run that failed
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(path, ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(path, ignored);
    }
    void copy(const std::wstring& sample, const std::wstring& name) const {
        ASSERT_TRUE(CopyFileW((samples + sample).c_str(), (path / name).c_str(), FALSE))
            << fs::path(name).string();
    }
    std::vector<std::wstring> names() const {
        std::vector<std::wstring> found;
        for (const auto& entry : fs::directory_iterator(path))
            found.push_back(entry.path().filename().wstring());
        return found;
    }
};

std::string bytesOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A program started as a process; its handle.
HANDLE start(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The exit status of a process given 30 s to end (STILL_ACTIVE if it does not); its handle closed.
DWORD endOf(HANDLE process) {
    DWORD status = 1;
    WaitForSingleObject(process, 30000);
    GetExitCodeProcess(process, &status);
    CloseHandle(process);
    return status;
}

// Visible top-level windows of other processes, of this class and caption (any when null).
struct Box {
    HWND window;
    DWORD process;
    std::wstring text() const {
        wchar_t buffer[8192] = {};
        GetDlgItemTextW(window, 0xFFFF, buffer, 8192);
        return buffer;
    }
};
std::vector<Box> windows(const wchar_t* kind = nullptr, const wchar_t* caption = nullptr) {
    std::vector<Box> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kind, caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (IsWindowVisible(window) && owner != GetCurrentProcessId())
            found.push_back(Box{window, owner});
    }
    return found;
}
// The summaries shown, once at least `awaited` of them are up or after a minute.
std::vector<Box> summaries(std::size_t awaited = 0) {
    std::vector<Box> found;
    for (int wait = 0; wait == 0 || (wait < 600 && found.size() < awaited); ++wait, Sleep(100))
        found = windows(L"#32770", L"relicwright");
    return found;
}

// The window, found among the desktop's top-level windows as a screen reader finds it.
struct StartedWindow {
    HANDLE process;
    HWND window = nullptr;

    explicit StartedWindow(const std::wstring& arguments)
        : process(start(L"\"" + windowProgram + L"\"" + arguments)) {
        for (int wait = 0; window == nullptr && wait < 300; ++wait, Sleep(100)) {
            WaitForInputIdle(process, 10000);
            for (const Box& shown : windows()) {
                if (shown.process == GetProcessId(process))
                    window = shown.window;
            }
        }
        WaitForInputIdle(process, INFINITE);
        EXPECT_NE(window, nullptr) << "no window";
    }
    std::string text(int id) const {
        char buffer[256] = {};
        return GetDlgItemTextA(window, id, buffer, sizeof buffer) > 0 ? buffer : "";
    }
    LRESULT selection(int id) const { return SendDlgItemMessageW(window, id, CB_GETCURSEL, 0, 0); }
    DWORD close() const { return PostMessageW(window, WM_CLOSE, 0, 0) ? endOf(process) : 1; }
};

constexpr int kItemField = 1003, kItemList = 1005, kGameField = 1006, kTargetList = 1007;

// Started without an argument it shows the start state; with a file, that file.
TEST(WindowStart, ShowsTheStartStateOrTheFileItIsGiven) {
    for (const std::wstring& file : {std::wstring(), samples + L"dagger.itm"}) {
        const bool empty = file.empty();
        const StartedWindow started(empty ? L"" : L" \"" + file + L"\"");
        EXPECT_EQ(started.text(kItemField), empty ? "<Empty>" : "Dagger");
        EXPECT_EQ(started.text(kGameField), empty ? "<Empty>" : "Diablo");
        EXPECT_EQ(started.selection(kItemList) == CB_ERR, empty);
        EXPECT_EQ(started.selection(kTargetList) == CB_ERR, empty);
        EXPECT_EQ(started.close(), 0u);
    }
}

// relicwright-cli run through the shell as a script runs it: its status, and what it writes to both streams.
std::pair<int, std::string> runCommandLine(const std::wstring& arguments) {
    std::string text;
    FILE* output = _wpopen((L"\"\"" + commandLine + L"\" " + arguments + L" 2>&1\"").c_str(), L"r");
    for (int character; output != nullptr && (character = std::fgetc(output)) != EOF;)
        text += static_cast<char>(character);
    return {output != nullptr ? _pclose(output) : -1, text};
}

// A path from the root of the current drive, written with "/", is a file and not an option.
TEST(CommandLine, TakesASlashRootedPath) {
    std::wstring path = samples.substr(2) + L"dagger.itm";
    std::replace(path.begin(), path.end(), L'\\', L'/');
    SetCurrentDirectoryW(samples.substr(0, 3).c_str());
    const auto [status, text] = runCommandLine(L"info " + path);
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("Dagger"), std::string::npos) << text;
}

// A name with a lone surrogate (NTFS allows it) is refused with the surrogate written out; the file
// the written-out name would be stays untouched, and the other file is converted.
TEST(CommandLine, RefusesANameThatDoesNotConvert) {
    const Folder folder(L"relicwright-lone");
    const fs::path lone = folder.path / (L"bad" + std::wstring(1, static_cast<wchar_t>(0xD800)) + L".itm");
    CloseHandle(CreateFileW(lone.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    fs::create_directory(folder.path / L"bad");
    folder.copy(L"dagger.itm", L"bad\\uD800.itm");
    folder.copy(L"dagger.itm", L"good.itm");
    const bool created = GetFileAttributesW(lone.c_str()) != INVALID_FILE_ATTRIBUTES;

    const auto [status, text] = runCommandLine(L"convert --to hellfire \"" + lone.wstring() + L"\" \"" +
                                               (folder.path / L"good.itm").wstring() + L"\"");
    EXPECT_EQ(status, 1) << text;
    const std::string shown = (folder.path / "bad").string() + "\\uD800.itm";
    EXPECT_NE(text.find(shown + ": not converted: " + shown + " contains an invalid path.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("converted 1 of 2 files"), std::string::npos) << text;
    // Only good.hif is new.
    EXPECT_EQ(folder.names().size(), created ? 4u : 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / L"bad"), {}), 1);
    EXPECT_TRUE(fs::is_regular_file(folder.path / L"good.hif"));
}

// Explorer's "Convert to ... item" as Explorer calls it: the verb's class out of process, given the
// selection through IDropTarget. Wine also needs the class under HKLM and an IDropTarget proxy.
const wchar_t* const kToHellfire = L"RelicwrightConvertToHellfire";
const wchar_t* const kToDiablo = L"RelicwrightConvertToDiablo";

// The installer's verbs and classes (or the build tree's, written here), for the suite's run.
class ExplorerDrop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(explorer::registerProxy()) << "the IDropTarget proxy";
        installed = _wgetenv(L"RELICWRIGHT_PROGRAMS") != nullptr;
        for (const auto& [extension, verb, game] : verbs) {
            if (!installed)
                explorer::registerVerb(extension, verb, relicwright::winui::conversionClass(game),
                                       windowProgram);
            const std::wstring server =
                explorer::classKey(explorer::verbClass(extension, verb)) + L"\\LocalServer32";
            const std::wstring command = explorer::value(HKEY_CURRENT_USER, server, nullptr);
            ASSERT_FALSE(command.empty()) << "no class for the verb on " << fs::path(extension).string();
            explorer::setValue(HKEY_LOCAL_MACHINE, server, nullptr, command);
        }
    }
    static void TearDownTestSuite() {
        for (const auto& [extension, verb, game] : verbs) {
            const std::wstring server = explorer::classKey(explorer::verbClass(extension, verb));
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, server.c_str());
            if (!installed) {
                RegDeleteTreeW(HKEY_CURRENT_USER, server.c_str());
                RegDeleteTreeW(HKEY_CURRENT_USER,
                               (std::wstring(explorer::kVerbs) + extension + L"\\shell\\" + verb).c_str());
            }
        }
        CoUninitialize();
    }

    static inline bool installed = false;
    static constexpr std::tuple<const wchar_t*, const wchar_t*, GameVariant> verbs[] = {
        {L".itm", kToHellfire, GameVariant::Hellfire}, {L".hif", kToDiablo, GameVariant::Diablo}};
};

// What relicwright-cli convert writes for each of these samples: the outputs the verb must match.
std::map<std::wstring, std::string> cliOutputs(std::initializer_list<const wchar_t*> sources) {
    const Folder expected(L"relicwright-drop-expected");
    for (const wchar_t* sample : sources)
        expected.copy(sample, sample);
    EXPECT_EQ(runCommandLine(L"convert --to hellfire \"" + expected.path.wstring() + L"\\*.itm\"").first, 0);
    std::map<std::wstring, std::string> outputs;
    for (const wchar_t* sample : sources)
        outputs[sample] = bytesOf(expected.path / fs::path(sample).replace_extension(L".hif"));
    return outputs;
}

// The running servers: relicwright.exe processes.
std::vector<DWORD> servers() {
    std::vector<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"relicwright.exe") == 0)
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}
// Whether a process ends within 30 s; ended first when `kill`.
bool ends(DWORD process, bool kill = false) {
    const DWORD access = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE;
    const HANDLE handle = OpenProcess(access, FALSE, process);
    if (kill)
        TerminateProcess(handle, 9);
    return handle == nullptr || endOf(handle) != STILL_ACTIVE;
}

// The verb chosen on files of one folder; when the call returned. A summary shown inside the call
// (Explorer kept waiting) is closed after 30 s so that the test goes on to fail.
FILETIME chooseVerb(const Folder& folder, const std::vector<std::wstring>& names, const wchar_t* verb) {
    explorer::Held<IDataObject> data;
    EXPECT_EQ(explorer::selection(folder.path.wstring(), names, data.put()), S_OK);
    std::atomic<bool> returned = false;
    std::thread watchdog([&] {
        for (int wait = 0; wait < 300 && !returned; ++wait)
            Sleep(100);
        for (const Box& box : returned ? std::vector<Box>{} : summaries())
            PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(
        explorer::dropOn(explorer::verbClass(verb == kToHellfire ? L".itm" : L".hif", verb), data.pointer),
        S_OK);
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    returned = true;
    watchdog.join();
    return now;
}

// Over 100 files in several scripts, each kind not converted among them, and at once a second
// selection: the call returns first; then one summary of its own files each, outputs as the CLI's.
TEST_F(ExplorerDrop, ConvertsWholeSelectionsAfterTheCallWithOneSummaryEach) {
    const Folder folder(L"relicwright-drop"), hellfire(L"relicwright-drop-hif");
    const wchar_t* const kinds[] = {L"dagger.itm", L"ring.itm", L"butchers-cleaver.itm"};
    const wchar_t* const names[] = {L"item ", L"\u03bc\u03b1\u03c7\u03b1\u03af\u03c1\u03b9 ",
                                    L"\u77ed\u5263 "};
    const auto expected = cliOutputs({kinds[0], kinds[1], kinds[2]});
    std::vector<std::wstring> selected;
    for (int index = 0; index < 140; ++index) {
        selected.push_back(names[index % 3] + std::to_wstring(index) + L".itm");
        folder.copy(kinds[index % 3], selected.back());
    }
    for (const wchar_t* name : {L"exists", L"guarded"}) {
        folder.copy(L"ring.itm", name + std::wstring(L".itm"));
        folder.copy(L"amulet.hif", name + std::wstring(L".hif"));
    }
    SetFileAttributesW((folder.path / L"guarded.hif").c_str(), FILE_ATTRIBUTE_READONLY);
    folder.copy(L"amulet.hif", L"amulet.hif");
    folder.copy(L"dagger.itm", L"notes.txt");
    fs::create_directory(folder.path / L"folder.itm");
    folder.copy(L"ring.itm", L"held.itm");
    const std::vector<std::wstring> notConverted{L"exists.itm", L"guarded.itm", L"amulet.hif",
                                                 L"notes.txt",  L"folder.itm",  L"held.itm"};
    selected.insert(selected.begin() + 70, notConverted.begin(), notConverted.end());
    for (const wchar_t* name : {L"x.hif", L"y.hif"})
        hellfire.copy(L"amulet.hif", name);
    hellfire.copy(L"ring.itm", L"y.itm");
    const std::size_t before = folder.names().size();
    const HANDLE held =
        CreateFileW((folder.path / L"held.itm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

    const FILETIME returnedAt = chooseVerb(folder, selected, kToHellfire);
    chooseVerb(hellfire, {L"x.hif", L"y.hif"}, kToDiablo);
    const std::vector<Box> shown = summaries(2);
    CloseHandle(held);
    ASSERT_EQ(shown.size(), 2u);
    std::vector<std::wstring> texts{shown[0].text(), shown[1].text()};
    std::sort(texts.begin(), texts.end());
    Sleep(1000); // a second summary of either selection would be up by now
    EXPECT_EQ(summaries().size(), 2u);
    for (const Box& box : shown)
        PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    for (const Box& box : shown)
        EXPECT_TRUE(ends(box.process)) << "the server stays";

    EXPECT_EQ(texts[0], L"1 of 2 files were not converted to Diablo:\n\ny.hif: " +
                            (hellfire.path / L"y.itm").wstring() + L" already exists");
    EXPECT_EQ(bytesOf(hellfire.path / L"x.itm").size(), 400u);
    const std::wstring& summary = texts[1];
    EXPECT_EQ(summary.substr(0, summary.find(L'\n')), L"6 of 146 files were not converted to Hellfire:")
        << summary;
    for (const std::wstring& name : notConverted)
        EXPECT_NE(summary.find(L"\n" + name + L": "), std::wstring::npos) << fs::path(name).string();
    EXPECT_NE(summary.find(L"\nexists.itm: " + (folder.path / L"exists.hif").wstring() + L" already exists"),
              std::wstring::npos);
    FILETIME lastOutput{};
    for (int index = 0; index < 140; ++index) {
        const fs::path output = folder.path / (names[index % 3] + std::to_wstring(index) + L".hif");
        EXPECT_TRUE(bytesOf(output) == expected.at(kinds[index % 3])) << output.filename().string();
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data);
        if (CompareFileTime(&data.ftLastWriteTime, &lastOutput) > 0)
            lastOutput = data.ftLastWriteTime;
    }
    EXPECT_GT(CompareFileTime(&lastOutput, &returnedAt), 0)
        << "the call returned only once every file was converted";
    for (const wchar_t* kept : {L"exists.hif", L"guarded.hif"})
        EXPECT_TRUE(bytesOf(folder.path / kept) == bytesOf(samples + L"amulet.hif"));
    EXPECT_EQ(folder.names().size(), before + 140) << "a file left behind or missing";
}

// Started with no selection, by hand or by a caller that leaves: it ends quietly by itself.
TEST_F(ExplorerDrop, AServerGivenNoSelectionEndsQuietly) {
    const HANDLE byHand = start(L"\"" + windowProgram + L"\" -Embedding");
    {
        explorer::Held<IDropTarget> target;
        ASSERT_EQ(CoCreateInstance(explorer::verbClass(L".itm", kToHellfire), nullptr, CLSCTX_LOCAL_SERVER,
                                   IID_IDropTarget, reinterpret_cast<void**>(target.put())),
                  S_OK);
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(target->DragLeave(), S_OK);
        EXPECT_EQ(target->DragOver(0, POINTL{}, &effect), S_OK);
    }
    EXPECT_EQ(endOf(byHand), 0u);
    for (const DWORD server : servers())
        EXPECT_TRUE(ends(server)) << "a server stays";
    EXPECT_TRUE(summaries().empty());
}

// Killed while converting: every output whole, a leftover only swept by the next conversion. Last,
// as Wine keeps naming the ended server until its wineserver ends.
TEST_F(ExplorerDrop, AServerEndedWhileConvertingLeavesOnlyWholeFiles) {
    const Folder folder(L"relicwright-drop-ended");
    std::vector<std::wstring> selected;
    for (int index = 0; index < 600; ++index) {
        selected.push_back(L"item " + std::to_wstring(index) + L".itm");
        folder.copy(L"ring.itm", selected.back());
    }
    const std::string expected = cliOutputs({L"ring.itm"}).at(L"ring.itm");
    chooseVerb(folder, selected, kToHellfire);
    for (const DWORD server : servers())
        EXPECT_TRUE(ends(server, true));

    // The next conversion into the folder: the command line's, as no activation succeeds now.
    folder.copy(L"ring.itm", L"again.itm");
    const std::wstring again = (folder.path / L"again.itm").wstring();
    EXPECT_EQ(runCommandLine(L"convert --to hellfire \"" + again + L"\"").first, 0);
    std::size_t outputs = 0;
    for (const std::wstring& name : folder.names()) {
        const fs::path extension = fs::path(name).extension();
        EXPECT_TRUE(extension == L".itm" || extension == L".hif")
            << "left behind: " << fs::path(name).string();
        if (extension == L".hif" && ++outputs) {
            EXPECT_TRUE(bytesOf(folder.path / name) == expected) << fs::path(name).string();
        }
    }
    EXPECT_TRUE(fs::exists(folder.path / L"again.hif"));
    EXPECT_LT(outputs, selected.size() + 1) << "ended only after the conversion";
}

} // namespace
