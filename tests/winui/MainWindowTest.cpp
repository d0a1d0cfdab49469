#include "WindowFixture.h"

#include "winui/CommonFileDialogs.h"

#include <oleacc.h>
#include <shlobj.h>

namespace relicwright::winui::testing {
namespace {

// The start state itself is the entry tests' (tests/windows/EntryTest.cpp), read from the real program.
TEST_F(WindowTest, StartsWithTheFocusOnLoadAndEnterThereOpensTheFileDialog) {
    EXPECT_EQ(GetFocus(), control(IDC_LOAD));
    key(dialog, VK_RETURN);
    ASSERT_EQ(fake.openRequests.size(), 1u);
    EXPECT_EQ(CommonFileDialogs::dialogFilter(fake.openRequests[0].filter).substr(0, 37),
              std::wstring(L"Both Files (*.itm;*.hif)\0*.itm;*.hif\0", 37));
    EXPECT_FALSE(window.ending());
}

// Loads a dagger, picks the target (closing its drop-down) and an item, saves: the fields show the
// file, the box is a plain one over the window, and the file holds the entry the list showed.
TEST_F(WindowTest, WritesTheEntryAndGameChosenInTheLists) {
    fake.answer(itemFile("dagger.itm", GameVariant::Diablo, 113));
    fake.answer(dir.path("out.hif"));
    send(IDC_LOAD, BM_CLICK);
    EXPECT_EQ(text(IDC_ITEM_FIELD), "Dagger");
    EXPECT_EQ(text(IDC_SOURCE_GAME_FIELD), "Diablo");
    send(IDC_TARGET_LIST, CB_SETCURSEL, 0);
    closeUpTargets();
    send(IDC_ITEM_LIST, CB_SETCURSEL, 33);
    send(IDC_SAVE, BM_CLICK);

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Relicwright");
    EXPECT_EQ(boxes.shown[0].owner, dialog);
    EXPECT_EQ(boxes.shown[0].style, static_cast<UINT>(MB_OK | MB_APPLMODAL));
    const std::vector<std::uint8_t> out = dir.read("out.hif");
    ASSERT_EQ(out.size(), 400u);
    EXPECT_EQ(out[28 + 360], 118);
}

TEST_F(WindowTest, AFileErrorShowsTheStopIconOverTheWindowAndTheWindowGoesOn) {
    fake.answer(dir.path("missing.itm"));
    send(IDC_LOAD, BM_CLICK);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].style, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_APPLMODAL));
    EXPECT_EQ(boxes.shown[0].caption, "Relicwright");
    EXPECT_EQ(boxes.shown[0].owner, dialog);
    EXPECT_FALSE(window.ending());
}

// A file from outside is loaded as it is; the open dialog is never asked.
void drop(HWND window, const std::string& path) {
    const std::wstring name = widen(path);
    const std::size_t size = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST_F(WindowTest, LoadsADroppedFileOrOneGivenBeforeItOpenedWithoutTheOpenDialog) {
    drop(dialog, dir.path(""));
    EXPECT_EQ(text(IDC_ITEM_FIELD), "<Empty>"); // a folder is not taken
    drop(dialog, itemFile("dagger.hif", GameVariant::Hellfire, 118));
    EXPECT_EQ(text(IDC_ITEM_FIELD), "Dagger");
    EXPECT_EQ(text(IDC_SOURCE_GAME_FIELD), "Hellfire");

    MainWindow given{"Relicwright", services};
    given.loadWhenShown(itemFile("dagger.itm", GameVariant::Diablo, 113));
    const HWND opened = given.create();
    pump();
    EXPECT_EQ(textOf(GetDlgItem(opened, IDC_SOURCE_GAME_FIELD)), "Diablo");
    EXPECT_TRUE(fake.openRequests.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

// What a screen reader asks the system for each control, against the one set of names. Wine 8's
// oleacc knows no combo box: it names one by its own text, where Windows' proxy takes the static
// label before it in tab order, as for an edit field. For the lists, that label is checked.
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
        EXPECT_EQ(accessible->get_accName(self, &spoken), S_OK) << name;
        EXPECT_EQ(narrow(spoken != nullptr ? spoken : L""), name);
        SysFreeString(spoken);
        accessible->Release();
    }
}

// Enter outside a button, Escape anywhere and the close button (key 0) end the window at once.
struct Ending {
    int focus;
    WPARAM key;
    INT_PTR result;
};
class KeyboardEnding : public WindowTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(KeyboardEnding, EndsTheWindowAskingNothing) {
    SetFocus(control(GetParam().focus));
    if (GetParam().key == 0) {
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        pump();
    } else {
        key(dialog, GetParam().key);
    }
    EXPECT_EQ(window.ending(), GetParam().result);
    EXPECT_TRUE(fake.openRequests.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardEnding,
                         ::testing::Values(Ending{IDC_ITEM_FIELD, VK_RETURN, IDOK}, Ending{IDC_TARGET_LIST, VK_RETURN, IDOK},
                                           Ending{IDC_LOAD, VK_ESCAPE, IDCANCEL}, Ending{IDC_ITEM_LIST, VK_ESCAPE, IDCANCEL},
                                           Ending{IDC_SAVE, 0, IDCANCEL}));

} // namespace
} // namespace relicwright::winui::testing
