#include "WindowFixture.h"

#include "ScaledPictures.h"

#include <cstdlib>
#include <fstream>
#include <map>

// The window at its screen's scale; tests/winui/at-scales runs these at 96 to 336 DPI, each in a
// prefix of that DPI, and compares each run with how the banner fills its frame at 96.
namespace relicwright::winui::testing {
namespace {

struct Banner {
    int frame = 0;             // the inside of its sunken frame
    int width = 0, height = 0; // of the bitmap the control draws
};

// The first static control of `type` in `parent`.
HWND staticOf(HWND parent, LONG_PTR type) {
    HWND child = GetWindow(parent, GW_CHILD);
    while (child != nullptr && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != type)
        child = GetWindow(child, GW_HWNDNEXT);
    return child;
}

Banner bannerOf(HWND dialog) {
    const HWND banner = staticOf(dialog, SS_BITMAP);
    RECT frame{};
    GetClientRect(banner, &frame);
    BITMAP bitmap{};
    GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof bitmap,
               &bitmap);
    return {frame.right, bitmap.bmWidth, bitmap.bmHeight};
}

int iconSize(HICON icon) {
    ICONINFO info{};
    BITMAP bitmap{};
    GetIconInfo(icon, &info); // none: no bitmaps, and a size of 0
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The banner of each DPI recorded so far: frame and bitmap width.
std::map<int, Banner> recorded() {
    std::map<int, Banner> seen;
    if (const char* path = std::getenv("RELICWRIGHT_SCALE_RECORD")) {
        std::ifstream in(path);
        for (int dpi = 0; in >> dpi;)
            in >> seen[dpi].frame >> seen[dpi].width;
    }
    return seen;
}

// Windows asks for a small icon of 16 and a large one of 32 pixels at 100 %, in proportion above.
void expectIconsAt(HWND window, int dpi) {
    for (const int which : {ICON_SMALL, ICON_BIG}) {
        const auto icon =
            reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, static_cast<WPARAM>(which), 0));
        EXPECT_EQ(iconSize(icon), MulDiv(which == ICON_BIG ? 32 : 16, dpi, 96)) << dpi;
    }
}

int aboutBoxIcon(HWND box) {
    return iconSize(reinterpret_cast<HICON>(SendMessageW(staticOf(box, SS_ICON), STM_GETICON, 0, 0)));
}

// Wine moves no window between screens: the test sends the message Windows would.
struct {
    int to = 0;
    RECT offered{};
    HWND box = nullptr;
    int icon = 0, iconAfter = 0;
    std::vector<std::string> texts; // caption, the two lines, the button
} about;

// In the About box's loop: modal and centred; both move; read, asked for help (warning owned by it).
void CALLBACK moveWhileAboutBoxOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND box = about.box = GetActiveWindow(), main = GetWindow(box, GW_OWNER);
    RECT boxRect{}, mainRect{};
    GetWindowRect(box, &boxRect);
    GetWindowRect(main, &mainRect);
    // Centred, where the screen has room for the window (at 350 % it has not, and the box stays on it).
    if (mainRect.right <= GetSystemMetrics(SM_CXSCREEN) && mainRect.bottom <= GetSystemMetrics(SM_CYSCREEN)) {
        EXPECT_NEAR(boxRect.left + boxRect.right, mainRect.left + mainRect.right, 2);
        EXPECT_NEAR(boxRect.top + boxRect.bottom, mainRect.top + mainRect.bottom, 2);
    }
    EXPECT_FALSE(IsWindowEnabled(main));
    about.icon = aboutBoxIcon(box);
    const WPARAM dpi = MAKEWPARAM(about.to, about.to);
    SendMessageW(main, WM_DPICHANGED, dpi, reinterpret_cast<LPARAM>(&about.offered));
    SendMessageW(box, WM_DPICHANGED, dpi, reinterpret_cast<LPARAM>(&boxRect));
    about.iconAfter = aboutBoxIcon(box);
    about.texts.push_back(WindowTest::textOf(box));
    for (const int id : {IDC_ABOUT_TEXT, IDC_COPYRIGHT_TEXT, IDC_CONTACT_TEXT, IDOK}) {
        about.texts.push_back(WindowTest::textOf(GetDlgItem(box, id)));
    }
    SendMessageW(box, WM_HELP, 0, 0);
    WindowTest::key(box, VK_ESCAPE);
}

// At the screen's scale the banner fills its frame as at 100 %; the About box and F1 work; moved to
// another scale, window and box redraw as if opened there.
TEST_F(WindowTest, AtTheScreensScaleTheWindowAndItsAboutBoxDrawForItAndRedrawWhenMovedToAnother) {
    // Per monitor, from the manifest (Wine tells v2 from v1 no further).
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(dialog)),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    const int from = static_cast<int>(GetDpiForWindow(dialog)), to = from == 192 ? 96 : 192;
    if (const char* expected = std::getenv("RELICWRIGHT_TEST_DPI")) {
        EXPECT_EQ(from, std::atoi(expected));
    }
    const Banner before = bannerOf(dialog);
    ASSERT_GT(before.width, 0);
    // The picture's own proportions, from a rendering at least this large.
    EXPECT_NEAR(before.height, before.width * 54 / 449, 1);
    expectIconsAt(dialog, from);
    const auto record = recorded();
    if (from == 96) {
        EXPECT_EQ(before.width, 449);
    } else if (record.contains(96)) {
        EXPECT_NEAR(before.width, before.frame * record.at(96).width / record.at(96).frame, 3)
            << "at " << from << " DPI, in a frame of " << before.frame;
    }
    if (const char* path = std::getenv("RELICWRIGHT_SCALE_RECORD")) {
        std::ofstream(path, std::ios::app) << from << ' ' << before.frame << ' ' << before.width << '\n';
    }

    HMENU menu = GetSystemMenu(dialog, FALSE);
    const auto last = static_cast<UINT>(GetMenuItemCount(menu) - 1);
    std::wstring entry(64, L'\0');
    entry.resize(static_cast<std::size_t>(GetMenuStringW(menu, last, entry.data(), 64, MF_BYPOSITION)));
    EXPECT_EQ(narrow(entry), Application::kAboutEntryText);
    EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(last)), 16u);
    EXPECT_NE(GetMenuState(menu, last - 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    SendMessageW(dialog, WM_HELP, 0, 0); // F1 in the main window
    RECT rect{};
    GetWindowRect(dialog, &rect);
    about.to = to;
    about.offered = {rect.left + 10, rect.top + 10, rect.left + 10 + MulDiv(rect.right - rect.left, to, from),
                     rect.top + 10 + MulDiv(rect.bottom - rect.top, to, from)};
    SetTimer(nullptr, 0, 50, moveWhileAboutBoxOpen);
    SendMessageW(dialog, WM_SYSCOMMAND, 16 | 0x3, 0); // the low four bits are the system's

    EXPECT_EQ(about.texts, (std::vector<std::string>{Application::aboutBoxTitle(), Application::aboutText(),
                                                     Application::copyrightText(), Application::contactText(),
                                                     Application::kOkText}));
    EXPECT_FALSE(IsWindow(about.box));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(window.ending());
    ASSERT_EQ(help.shown.size(), 2u);
    EXPECT_TRUE(help.shown[0].starts_with("file:///") && help.shown[0].ends_with("/help.html#main-window"));
    EXPECT_TRUE(help.shown[1].ends_with("/help.html#about-box"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& box : boxes.shown) {
        EXPECT_EQ(box.text, Application::kHelpFailedText);
        EXPECT_EQ(box.style & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(boxes.shown[0].owner, dialog);
    EXPECT_EQ(boxes.shown[1].owner, about.box);

    EXPECT_EQ(about.icon, MulDiv(32, from, 96));
    EXPECT_EQ(about.iconAfter, MulDiv(32, to, 96));
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(EqualRect(&rect, &about.offered));
    expectIconsAt(dialog, to);
    const Banner after = bannerOf(dialog);
    EXPECT_NEAR(after.width, before.width * double(to) / from, before.width * 0.15 * to / from);
    if (record.contains(to)) {
        EXPECT_EQ(after.width, record.at(to).width);
    }
}

TEST(HelpPage, AddressesThePageAsAFileUrl) {
    EXPECT_EQ(HelpPage::address("C:\\My Items\\h\xC3\xA9lp.html", Application::helpTopic(kAboutBoxDialog)),
              "file:///C:/My%20Items/h%C3%A9lp.html#about-box");
}

// Shrunk, each pixel is the area average of what it covers; asked to grow, a rendering stays.
TEST(ShrunkRendering, AveragesTheAreaEachPixelCoversAndNeverEnlarges) {
    const auto row = [](const std::vector<std::uint8_t>& greys) {
        Pixels picture{static_cast<int>(greys.size()), 1, {}};
        for (const std::uint8_t grey : greys)
            picture.bgrx.insert(picture.bgrx.end(), {grey, grey, grey, 0});
        return picture;
    };
    const auto greys = [](const Pixels& picture) {
        std::vector<int> seen;
        for (std::size_t i = 0; i < picture.bgrx.size(); i += 4)
            seen.push_back(picture.bgrx[i + 1]);
        return seen;
    };
    EXPECT_EQ(greys(shrink(row({0, 255, 0, 255}), 2, 1)), (std::vector<int>{128, 128}));
    EXPECT_EQ(greys(shrink(row({0, 90, 180}), 2, 1)), (std::vector<int>{30, 150}));
    const Pixels same = shrink(row({10, 20}), 5, 3);
    EXPECT_EQ(std::pair(same.width, same.height), std::pair(2, 1));
    EXPECT_EQ(greys(same), (std::vector<int>{10, 20}));
}

// Every size Windows asks of the program icon at 100 % to 200 % is drawn at that size.
TEST(ProgramIcon, HoldsAnImageForEverySizeWindowsAsksForAt100To200Percent) {
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC group =
        FindResourceW(program, MAKEINTRESOURCEW(IDI_PROGRAM), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(program, group)));
    for (const int size : {16, 20, 24, 28, 32, 40, 48, 56, 64}) {
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceW(program, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)); // RT_ICON
        ASSERT_NE(image, nullptr) << size;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, image)));
        EXPECT_EQ(header->biWidth, size);
    }
}

} // namespace
} // namespace relicwright::winui::testing
