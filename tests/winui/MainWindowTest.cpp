#include "WindowFixture.h"

#include "CommonFileDialogs.h"

#include <oleacc.h>
#include <shlobj.h>

namespace relicwright::winui::testing {
namespace {

// A file from outside, as Explorer drops it.
void drop(HWND window, const std::string& path) {
    const std::wstring name = widen(path);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// Enter on Load opens the dialog; an unreadable pick stops with the stop icon; a drop loads; the save
// holds the lists' entry and game. Every box is the window's, under the program's name.
TEST_F(WindowTest, LoadsFromTheDialogOrADropAndWritesTheEntryAndGameChosenInTheLists) {
    fake.answer(dir.path("missing.itm"));
    key(dialog, VK_RETURN);
    ASSERT_EQ(fake.openRequests.size(), 1u);
    EXPECT_EQ(CommonFileDialogs::dialogFilter(fake.openRequests[0].filter).substr(0, 37),
              std::wstring(L"Both Files (*.itm;*.hif)\0*.itm;*.hif\0", 37));
    drop(dialog, dir.path("")); // a folder is not taken
    EXPECT_EQ(text(IDC_ITEM_FIELD), "<Empty>");
    drop(dialog, dir.write("dagger.itm", relicwright::testing::sampleImage(GameVariant::Diablo, 113)));
    EXPECT_EQ(text(IDC_ITEM_FIELD), "Dagger");
    EXPECT_EQ(text(IDC_SOURCE_GAME_FIELD), "Diablo");
    EXPECT_EQ(fake.openRequests.size(), 1u);
    send(IDC_TARGET_LIST, CB_SETCURSEL, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_TARGET_LIST, CBN_CLOSEUP), LPARAM(control(IDC_TARGET_LIST)));
    send(IDC_ITEM_LIST, CB_SETCURSEL, 33);
    fake.answer(dir.path("out.hif"));
    send(IDC_SAVE, BM_CLICK);

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_APPLMODAL));
    EXPECT_EQ(boxes.shown[1].style, static_cast<UINT>(MB_OK | MB_APPLMODAL));
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.caption, "Relicwright");
        EXPECT_EQ(box.owner, dialog);
    }
    const std::vector<std::uint8_t> out = dir.read("out.hif");
    ASSERT_EQ(out.size(), 400u);
    EXPECT_EQ(out[28 + 360], 118);
    EXPECT_FALSE(window.ending());
}

// A file given at the start loads once, not again when the window is restored after minimising.
TEST_F(WindowTest, AFileGivenAtTheStartLoadsOnceAndNotAgainWhenTheWindowIsRestored) {
    MainWindow started{"Relicwright", services};
    started.loadWhenShown(dir.write("dagger.itm", relicwright::testing::sampleImage(GameVariant::Diablo, 113)));
    const HWND shown = started.create();
    pump();
    EXPECT_EQ(textOf(GetDlgItem(shown, IDC_ITEM_FIELD)), "Dagger");
    SendDlgItemMessageW(shown, IDC_ITEM_LIST, CB_SETCURSEL, 5, 0);
    ShowWindow(shown, SW_MINIMIZE);
    pump();
    ShowWindow(shown, SW_RESTORE);
    pump();
    EXPECT_EQ(textOf(GetDlgItem(shown, IDC_ITEM_FIELD)), "Dagger");
    EXPECT_EQ(SendDlgItemMessageW(shown, IDC_ITEM_LIST, CB_GETCURSEL, 0, 0), 5);
    EXPECT_TRUE(boxes.shown.empty());
}

// Screen-reader names through MSAA. Wine 8 names a combo box by its text, so for the lists the
// label before it (Windows' proxy takes that) is checked.
TEST_F(WindowTest, NamesEveryControlForAScreenReader) {
    for (const Control id : {Control::LoadButton, Control::SaveButton, Control::ItemField, Control::ItemList,
                             Control::SourceGameField, Control::TargetList}) {
        const std::string name(Application::accessibleName(id));
        const HWND shown = control(static_cast<int>(id));
        if (id == Control::ItemList || id == Control::TargetList) {
            const HWND label = GetWindow(shown, GW_HWNDPREV);
            EXPECT_NE(SendMessageW(label, WM_GETDLGCODE, 0, 0) & DLGC_STATIC, 0) << name;
            EXPECT_FALSE(IsWindowVisible(label)) << name;
            EXPECT_EQ(textOf(label), name);
            continue;
        }
        IAccessible* accessible = nullptr;
        // __uuidof: mingw's oleacc import library takes IID_IAccessible for a function of the DLL.
        ASSERT_EQ(AccessibleObjectFromWindow(shown, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&accessible)), S_OK) << name;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR spoken = nullptr;
        accessible->get_accName(self, &spoken);
        EXPECT_EQ(narrow(spoken != nullptr ? spoken : L""), name);
        SysFreeString(spoken);
        accessible->Release();
    }
}

// Enter outside a button, Escape anywhere and the close button (key 0) end the window at once.
TEST_F(WindowTest, EndsAtEnterOutsideAButtonEscapeOrTheCloseButtonAskingNothing) {
    struct Ending {
        int focus;
        WPARAM key;
        INT_PTR result;
    };
    for (const Ending ending : {Ending{IDC_ITEM_FIELD, VK_RETURN, IDOK}, Ending{IDC_TARGET_LIST, VK_RETURN, IDOK},
                                Ending{IDC_LOAD, VK_ESCAPE, IDCANCEL}, Ending{IDC_ITEM_LIST, VK_ESCAPE, IDCANCEL},
                                Ending{IDC_SAVE, 0, IDCANCEL}}) {
        MainWindow ended{"Relicwright", services};
        const HWND shown = ended.create();
        SetFocus(GetDlgItem(shown, ending.focus));
        if (ending.key == 0) {
            SendMessageW(shown, WM_SYSCOMMAND, SC_CLOSE, 0);
            pump();
        } else {
            key(shown, ending.key);
        }
        EXPECT_EQ(ended.ending(), ending.result) << ending.focus;
    }
    EXPECT_TRUE(fake.openRequests.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace relicwright::winui::testing
