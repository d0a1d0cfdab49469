// Explorer's "Convert to ... item" on a selection, as Explorer makes the call: the class the
// verb names is activated out of process (relicwright.exe -Embedding) and gets the whole selection
// through IDropTarget. RELICWRIGHT_PROGRAMS names an installed copy, whose registry entries are
// then used as the installer wrote them. Wine needs two things Windows has: the class under HKLM
// too (its class root does not merge the user's classes) and a proxy for IDropTarget
// (droptargetps.dll, built beside this test and registered here).
#include "ConversionClasses.h"
#include "ExplorerClient.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using relicwright::GameVariant;

const wchar_t* const kToHellfire = L"RelicwrightConvertToHellfire";
const wchar_t* const kToDiablo = L"RelicwrightConvertToDiablo";

std::wstring folderOf(const wchar_t* variable, const wchar_t* built) {
    const wchar_t* value = _wgetenv(variable);
    return (value != nullptr ? value : built) + std::wstring(L"\\");
}
const std::wstring programs = folderOf(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_WINDOW);
const std::wstring cliFolder = folderOf(L"RELICWRIGHT_PROGRAMS", RELICWRIGHT_BUILT_CLI);
const std::wstring samples = folderOf(L"RELICWRIGHT_SAMPLES", RELICWRIGHT_BUILT_SAMPLES);

std::wstring classKey(const CLSID& id) {
    wchar_t text[64] = {};
    StringFromGUID2(id, text, 64);
    return L"Software\\Classes\\CLSID\\" + std::wstring(text);
}

// The verbs and classes as the installer writes them (or the build tree's, written here), the
// classes copied under HKLM, and the proxy registered, for the suite's run.
class ExplorerDrop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(explorer::registerProxy()) << "the IDropTarget proxy";
        installed = _wgetenv(L"RELICWRIGHT_PROGRAMS") != nullptr;
        for (const auto& [extension, verb] : verbs) {
            if (!installed) {
                const CLSID& id = relicwright::winui::conversionClass(
                    verb == kToHellfire ? GameVariant::Hellfire : GameVariant::Diablo);
                explorer::registerVerb(extension, verb, id, programs + L"relicwright.exe");
            }
            wchar_t command[1024] = {};
            DWORD size = sizeof command;
            const std::wstring server = classKey(explorer::verbClass(extension, verb)) + L"\\LocalServer32";
            ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, server.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                                   command, &size),
                      ERROR_SUCCESS)
                << "no class for the verb on " << fs::path(extension).string();
            explorer::setValue(HKEY_LOCAL_MACHINE, server, nullptr, command);
        }
    }
    static void TearDownTestSuite() {
        for (const auto& [extension, verb] : verbs) {
            const std::wstring server = classKey(explorer::verbClass(extension, verb));
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, server.c_str());
            if (!installed) {
                RegDeleteTreeW(HKEY_CURRENT_USER, server.c_str());
                RegDeleteTreeW(HKEY_CURRENT_USER,
                               (explorer::kVerbs + extension + L"\\shell\\" + verb).c_str());
            }
        }
        CoUninitialize();
    }

    static inline bool installed = false;
    static inline const std::map<std::wstring, const wchar_t*> verbs{{L".itm", kToHellfire},
                                                                     {L".hif", kToDiablo}};
};

// A folder of its own, removed with whatever is in it.
struct Folder {
    fs::path path;
    explicit Folder(const std::wstring& name) {
        wchar_t temporary[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temporary);
        path = fs::path(temporary) / (name + L"-" + std::to_wstring(GetCurrentProcessId()));
        std::error_code ignored;
        fs::remove_all(path, ignored);
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

// A program started as a process, the way Explorer or a script starts it; its handle.
HANDLE start(std::wstring line, DWORD flags = 0) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    return process.hProcess;
}

void runCommandLine(const std::wstring& arguments) {
    const HANDLE process = start(L"\"" + cliFolder + L"relicwright-cli.exe\" " + arguments, CREATE_NO_WINDOW);
    WaitForSingleObject(process, 120000);
    CloseHandle(process);
}

// What relicwright-cli convert writes for each of these samples: the outputs the verb must match.
std::map<std::wstring, std::string> cliOutputs(std::initializer_list<const wchar_t*> sources) {
    const Folder expected(L"relicwright-drop-expected");
    for (const wchar_t* sample : sources)
        expected.copy(sample, sample);
    runCommandLine(L"convert --to hellfire \"" + expected.path.wstring() + L"\\*.itm\"");
    std::map<std::wstring, std::string> outputs;
    for (const wchar_t* sample : sources)
        outputs[sample] = bytesOf(expected.path / fs::path(sample).replace_extension(L".hif"));
    return outputs;
}

// The visible message boxes of relicwright processes, with the process that shows each.
struct Box {
    HWND window;
    DWORD process;
    std::wstring text() const {
        wchar_t buffer[8192] = {};
        GetDlgItemTextW(window, 0xFFFF, buffer, 8192);
        return buffer;
    }
};
std::vector<Box> summaries(std::size_t awaited = 0) {
    std::vector<Box> found;
    for (int wait = 0; wait == 0 || (wait < 600 && found.size() < awaited); ++wait, Sleep(100)) {
        found.clear();
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", L"relicwright")) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (IsWindowVisible(box) && owner != GetCurrentProcessId())
                found.push_back(Box{box, owner});
        }
    }
    return found;
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
bool ends(DWORD process, DWORD milliseconds = 30000) {
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    const bool ended = handle == nullptr || WaitForSingleObject(handle, milliseconds) == WAIT_OBJECT_0;
    if (handle != nullptr)
        CloseHandle(handle);
    return ended;
}

ULONGLONG ticks(const FILETIME& time) {
    return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// The verb chosen on files of one folder; the system time when the call returned. A server that
// keeps Explorer waiting shows its summary inside the call: it is closed after 30 s, so that the
// test goes on to fail.
ULONGLONG chooseVerb(const Folder& folder, const std::vector<std::wstring>& names, const wchar_t* verb) {
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
    return ticks(now);
}

// More files than a command verb is shown for, named in several scripts and with spaces, with a
// file of each kind that is not converted; and at once a second selection, to the other game. The
// call comes back while the selection is still being converted; then each selection has one summary
// of exactly its own files, and every output is relicwright-cli's.
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

    const ULONGLONG returnedAt = chooseVerb(folder, selected, kToHellfire);
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
    ULONGLONG lastOutput = 0;
    for (int index = 0; index < 140; ++index) {
        const fs::path output = folder.path / (names[index % 3] + std::to_wstring(index) + L".hif");
        EXPECT_TRUE(bytesOf(output) == expected.at(kinds[index % 3])) << output.filename().string();
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &data);
        lastOutput = std::max(lastOutput, ticks(data.ftLastWriteTime));
    }
    EXPECT_GT(lastOutput, returnedAt) << "the call returned only once every file was converted";
    for (const wchar_t* kept : {L"exists.hif", L"guarded.hif"})
        EXPECT_TRUE(bytesOf(folder.path / kept) == bytesOf(samples + L"amulet.hif"));
    EXPECT_EQ(folder.names().size(), before + 140) << "a file left behind or missing";
}

// Started with no selection: by hand, or by a caller that leaves without dropping. It ends by
// itself without showing anything.
TEST_F(ExplorerDrop, AServerGivenNoSelectionEndsQuietly) {
    const HANDLE byHand = start(L"\"" + programs + L"relicwright.exe\" -Embedding");
    {
        explorer::Held<IDropTarget> target;
        ASSERT_EQ(CoCreateInstance(explorer::verbClass(L".itm", kToHellfire), nullptr, CLSCTX_LOCAL_SERVER,
                                   IID_IDropTarget, reinterpret_cast<void**>(target.put())),
                  S_OK);
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(target->DragLeave(), S_OK);
        EXPECT_EQ(target->DragOver(0, POINTL{}, &effect), S_OK);
    }
    DWORD status = 2;
    EXPECT_EQ(WaitForSingleObject(byHand, 30000), WAIT_OBJECT_0);
    GetExitCodeProcess(byHand, &status);
    CloseHandle(byHand);
    EXPECT_EQ(status, 0u);
    for (const DWORD server : servers())
        EXPECT_TRUE(ends(server)) << "a server stays";
    EXPECT_TRUE(summaries().empty());
}

// The server ended while it converts a long selection: each output there is whole and right. A
// new file can be left only in the two instants a kill can hit it, and the next conversion into
// the folder removes it. Last of the suite: Wine's class table keeps naming the ended server until
// its wineserver ends, so no later activation in this session would succeed.
TEST_F(ExplorerDrop, AServerEndedWhileConvertingLeavesOnlyWholeFiles) {
    const Folder folder(L"relicwright-drop-ended");
    std::vector<std::wstring> selected;
    for (int index = 0; index < 600; ++index) {
        selected.push_back(L"item " + std::to_wstring(index) + L".itm");
        folder.copy(L"ring.itm", selected.back());
    }
    const std::string expected = cliOutputs({L"ring.itm"}).at(L"ring.itm");
    chooseVerb(folder, selected, kToHellfire);
    for (const DWORD server : servers()) {
        const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, server);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 30000);
        CloseHandle(process);
    }
    std::size_t outputs = 0;
    for (const std::wstring& name : folder.names()) {
        if (fs::path(name).extension() == L".hif" && ++outputs) {
            EXPECT_TRUE(bytesOf(folder.path / name) == expected) << fs::path(name).string();
        }
    }
    EXPECT_LT(outputs, selected.size()) << "ended only after the conversion";

    // The next conversion into the folder: the command line's, as no activation succeeds now.
    folder.copy(L"ring.itm", L"again.itm");
    runCommandLine(L"convert --to hellfire \"" + (folder.path / L"again.itm").wstring() + L"\"");
    EXPECT_TRUE(bytesOf(folder.path / L"again.hif") == expected);
    for (const std::wstring& name : folder.names()) {
        const fs::path extension = fs::path(name).extension();
        EXPECT_TRUE(extension == L".itm" || extension == L".hif")
            << "left behind: " << fs::path(name).string();
    }
}

} // namespace
