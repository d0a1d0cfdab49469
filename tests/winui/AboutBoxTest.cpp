#include "WindowFixture.h"

namespace relicwright::winui::testing {
namespace {

// What the About box looked like while it ran; a timer inside its modal loop looks, then closes it.
struct Seen {
    HWND box = nullptr;
    std::vector<std::string> texts; // caption, the two lines, the button
    bool ownerEnabled = true;
    RECT rect{};
} seen;

void CALLBACK lookAtAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    seen.box = GetActiveWindow();
    seen.texts.push_back(WindowTest::textOf(seen.box));
    for (const int id : {IDC_ABOUT_TEXT, IDC_COPYRIGHT_TEXT, IDC_CONTACT_TEXT, IDOK}) {
        seen.texts.push_back(WindowTest::textOf(GetDlgItem(seen.box, id)));
    }
    seen.ownerEnabled = IsWindowEnabled(GetWindow(seen.box, GW_OWNER)) != FALSE;
    GetWindowRect(seen.box, &seen.rect);
    // F1 in the box: the page is asked for, no browser shows it, so a warning shows, owned by the box.
    SendMessageW(seen.box, WM_HELP, 0, 0);
    WindowTest::key(seen.box, VK_ESCAPE);
}

TEST_F(WindowTest, TheSystemMenuEntryShowsTheAboutBoxCentredAndModalAndHelpOpensEachOnesSection) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    const auto last = static_cast<UINT>(GetMenuItemCount(menu) - 1);
    std::wstring entry(64, L'\0');
    entry.resize(static_cast<std::size_t>(GetMenuStringW(menu, last, entry.data(), 64, MF_BYPOSITION)));
    EXPECT_EQ(narrow(entry), Application::kAboutEntryText);
    EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(last)), 16u);
    EXPECT_NE(GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);

    SendMessageW(dialog, WM_HELP, 0, 0); // F1 in the main window
    SetTimer(nullptr, 0, 50, lookAtAboutBox);
    SendMessageW(dialog, WM_SYSCOMMAND, 16 | 0x3, 0); // the low four bits are the system's

    EXPECT_EQ(seen.texts, (std::vector<std::string>{Application::aboutBoxTitle(), Application::aboutText(),
                                                    Application::copyrightText(), Application::contactText(),
                                                    Application::kOkText}));
    EXPECT_FALSE(seen.ownerEnabled);
    RECT main{};
    GetWindowRect(dialog, &main);
    EXPECT_NEAR(seen.rect.left + seen.rect.right, main.left + main.right, 2);
    EXPECT_NEAR(seen.rect.top + seen.rect.bottom, main.top + main.bottom, 2);
    ASSERT_EQ(help.shown.size(), 2u);
    EXPECT_TRUE(help.shown[0].starts_with("file:///") && help.shown[0].ends_with("/help.html#main-window"));
    EXPECT_TRUE(help.shown[1].ends_with("/help.html#about-box"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.text, Application::kHelpFailedText);
        EXPECT_EQ(box.style & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(boxes.shown[0].owner, dialog);
    EXPECT_EQ(boxes.shown[1].owner, seen.box);
    EXPECT_FALSE(IsWindow(seen.box));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(window.ending());
}

TEST(HelpPage, AddressesThePageAsAFileUrl) {
    EXPECT_EQ(HelpPage::address("C:\\My Items\\h\xC3\xA9lp.html", Application::helpTopic(kAboutBoxDialog)),
              "file:///C:/My%20Items/h%C3%A9lp.html#about-box");
}

} // namespace
} // namespace relicwright::winui::testing
