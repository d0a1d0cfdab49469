#include "WindowFixture.h"

#include "CommonFileDialogs.h"
#include "ItemFileIo.h"

#include <cderr.h>
#include <dlgs.h>

#include <algorithm>

namespace relicwright::winui::testing {
namespace {

// The dialog as documented: the path if it fits, else FNERR_BUFFERTOOSMALL with the length needed.
std::wstring picked;
DWORD failing = 0;
DWORD failure = 0;
BOOL WINAPI answerDialog(LPOPENFILENAMEW request) {
    failure = failing;
    if (failing != 0 || picked.empty()) {
        return FALSE;
    }
    if (picked.size() >= request->nMaxFile) {
        *reinterpret_cast<WORD*>(request->lpstrFile) = static_cast<WORD>(picked.size() + 1);
        failure = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::copy(picked.c_str(), picked.c_str() + picked.size() + 1, request->lpstrFile);
    return TRUE;
}
DWORD WINAPI lastFailure() {
    return failure;
}

// Inside the system's dialog, once it is up: the name typed into its name field, then OK.
void CALLBACK typeIntoDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = GetActiveWindow();
    if (box == nullptr || GetWindow(box, GW_OWNER) == nullptr) {
        return; // not up yet
    }
    KillTimer(nullptr, timer);
    for (const int field : {cmb13, edt1}) { // Windows' name field, Wine's
        SetDlgItemTextW(box, field, picked.c_str());
    }
    PostMessageW(box, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

// The system's own open dialog, driven as a person drives it, hands its file to the load.
TEST_F(WindowTest, TheSystemsOpenDialogHandsTheTypedFileToTheLoad) {
    picked = widen(dir.write("ring.itm", relicwright::testing::sampleImage(GameVariant::Diablo, 113)));
    CommonFileDialogs common;
    MainWindow real{"Relicwright", MainWindow::Services{common, boxes, platformFileSteps(), help}};
    const HWND shown = real.create();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, typeIntoDialog);
    SendMessageW(GetDlgItem(shown, IDC_LOAD), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer); // when no dialog came
    EXPECT_EQ(textOf(GetDlgItem(shown, IDC_ITEM_FIELD)), "Dagger");
    EXPECT_TRUE(boxes.shown.empty());
}

#define HUNDRED "a-hundred-characters-long-name-of-a-folder-that-goes-on-and-on-and-on-and-on-and-on-and-on-and-on"

// A pick past 260 characters loads and saves; what cannot be handed over is said; Cancel is silent.
TEST_F(WindowTest, TheCommonDialogsTakePathsPastTheOldLimitAndSayWhatTheyCannotTake) {
    std::string folder = dir.path(HUNDRED);
    std::vector<std::string> folders;
    for (int depth = 0; depth < 3; ++depth, folder += "\\" HUNDRED) {
        ASSERT_TRUE(CreateDirectoryW(widen(folder).c_str(), nullptr));
        folders.insert(folders.begin(), folder);
    }
    const std::string source = folders.front() + "\\dagger.itm";
    const std::string output = folders.front() + "\\dagger.hif";
    writeItemFile(platformFileSteps(), source, relicwright::testing::sampleImage(GameVariant::Diablo, 113));

    CommonFileDialogs common({answerDialog, answerDialog, lastFailure});
    MainWindow real{"Relicwright", MainWindow::Services{common, boxes, platformFileSteps(), help}};
    const HWND shown = real.create();
    const auto press = [&](int button, const std::string& path, DWORD fails = 0) {
        picked = widen(path);
        failing = fails;
        SendMessageW(GetDlgItem(shown, button), BM_CLICK, 0, 0);
    };
    press(IDC_LOAD, source);
    EXPECT_EQ(textOf(GetDlgItem(shown, IDC_ITEM_FIELD)), "Dagger");
    press(IDC_SAVE, output);
    ItemFileImage saved{};
    EXPECT_EQ(readItemFile(platformFileSteps(), output, saved), 400u);
    press(IDC_LOAD, "C:\\" + std::string(CommonFileDialogs::kLongestPath, 'x') + ".itm");
    press(IDC_SAVE, output, CDERR_DIALOGFAILURE);
    press(IDC_LOAD, "");
    EXPECT_EQ(textOf(GetDlgItem(shown, IDC_ITEM_FIELD)), "Dagger");

    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text, "File saved to Harddrive");
    EXPECT_EQ(boxes.shown[1].text, "an unnamed file contains an invalid path.");
    EXPECT_EQ(boxes.shown[1].style, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_APPLMODAL));
    EXPECT_EQ(boxes.shown[2].text, "An unexpected error occurred.\nThe file dialog failed with error 65535.");
    EXPECT_EQ(boxes.shown[2].owner, shown);

    DeleteFileW(widen(source).c_str());
    DeleteFileW(widen(output).c_str());
    for (const auto& each : folders) {
        RemoveDirectoryW(widen(each).c_str());
    }
}

} // namespace
} // namespace relicwright::winui::testing
