#include "WindowFixture.h"

#include "ScaledPictures.h"

#include <cstdlib>
#include <fstream>
#include <map>

// The window at the scale of its screen. tests/winui/at-scales runs these at 96, 120, 144, 192 and 336
// DPI, each in a Wine prefix of that DPI, naming it in RELICWRIGHT_TEST_DPI; the run at 96 records in
// RELICWRIGHT_SCALE_RECORD how the banner fills its frame there, and later runs compare with it.
namespace relicwright::winui::testing {
namespace {

struct Banner {
    int frame = 0;             // the inside of its sunken frame
    int width = 0, height = 0; // of the bitmap the control draws
};

Banner bannerOf(HWND dialog) {
    Banner banner;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            RECT frame{};
            GetClientRect(child, &frame);
            banner.frame = frame.right;
            BITMAP bitmap{};
            GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                       sizeof bitmap, &bitmap);
            banner.width = bitmap.bmWidth;
            banner.height = bitmap.bmHeight;
        }
    }
    return banner;
}

int iconSize(HICON icon) {
    ICONINFO info{};
    BITMAP bitmap{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return 0;
    }
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

int windowIcon(HWND window, WPARAM which) {
    return iconSize(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)));
}

// The banner of each DPI recorded so far: frame and bitmap width.
std::map<unsigned, Banner> recorded() {
    std::map<unsigned, Banner> seen;
    if (const char* path = std::getenv("RELICWRIGHT_SCALE_RECORD")) {
        std::ifstream in(path);
        for (unsigned dpi = 0; in >> dpi;)
            in >> seen[dpi].frame >> seen[dpi].width;
    }
    return seen;
}

// The scale the window opened at: the screen's, which the prefix set.
unsigned openedAt(HWND dialog) {
    const unsigned dpi = GetDpiForWindow(dialog);
    if (const char* expected = std::getenv("RELICWRIGHT_TEST_DPI")) {
        EXPECT_EQ(dpi, static_cast<unsigned>(std::atoi(expected)));
    }
    return dpi;
}

// Windows asks for a small icon of 16 and a large one of 32 pixels at 100 %, in proportion above.
void expectIconsAt(HWND dialog, unsigned dpi) {
    EXPECT_EQ(windowIcon(dialog, ICON_SMALL), MulDiv(16, static_cast<int>(dpi), 96)) << dpi;
    EXPECT_EQ(windowIcon(dialog, ICON_BIG), MulDiv(32, static_cast<int>(dpi), 96)) << dpi;
}

TEST_F(WindowTest, AtTheScreensScaleTheBannerFillsItsFrameAsAt100PercentWithIconsOfThatScale) {
    // Per monitor, from the manifest (Wine tells v2 from v1 no further): the system scales nothing
    // as a picture.
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(dialog)),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    const unsigned dpi = openedAt(dialog);
    const Banner banner = bannerOf(dialog);
    ASSERT_GT(banner.width, 0);
    // The picture's own proportions, from a rendering at least this large.
    EXPECT_NEAR(banner.height, banner.width * 54 / 449, 1);
    expectIconsAt(dialog, dpi);
    if (dpi == 96) {
        EXPECT_EQ(banner.width, 449);
    } else if (const auto seen = recorded(); seen.contains(96)) {
        const Banner& at96 = seen.at(96);
        EXPECT_NEAR(banner.width, banner.frame * at96.width / at96.frame, 3)
            << "at " << dpi << " DPI, in a frame of " << banner.frame;
    }
    if (const char* path = std::getenv("RELICWRIGHT_SCALE_RECORD")) {
        std::ofstream(path, std::ios::app) << dpi << ' ' << banner.frame << ' ' << banner.width << '\n';
    }
}

// Wine moves no window between screens: the move is the message Windows sends each window, here
// while the About box is open. The window takes the frame offered and draws banner and icons as a
// window opened on that screen does; the box takes its icon size and keeps its texts and its
// message boxes.
struct Move {
    unsigned to = 0;
    RECT offered{};
    Banner before, after;
    int boxIcon = 0, boxIconAfter = 0;
    std::vector<std::string> boxTexts;
} move;

void CALLBACK moveWhileAboutBoxOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = GetActiveWindow(), main = GetWindow(box, GW_OWNER), icon = GetWindow(box, GW_CHILD);
    while ((GetWindowLongPtrW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        icon = GetWindow(icon, GW_HWNDNEXT);
    move.boxIcon = iconSize(reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)));
    move.before = bannerOf(main);
    RECT rect{}, boxRect{};
    GetWindowRect(main, &rect);
    const int from = static_cast<int>(GetDpiForWindow(main)), to = static_cast<int>(move.to);
    move.offered = {rect.left + 10, rect.top + 10, rect.left + 10 + MulDiv(rect.right - rect.left, to, from),
                    rect.top + 10 + MulDiv(rect.bottom - rect.top, to, from)};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&move.offered));
    GetWindowRect(box, &boxRect);
    SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&boxRect));
    move.after = bannerOf(main);
    move.boxIconAfter = iconSize(reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)));
    for (const int id : {IDC_ABOUT_TEXT, IDC_COPYRIGHT_TEXT, IDC_CONTACT_TEXT, IDOK}) {
        move.boxTexts.push_back(WindowTest::textOf(GetDlgItem(box, id)));
    }
    SendMessageW(box, WM_HELP, 0, 0); // a warning, owned by the box
    WindowTest::key(box, VK_ESCAPE);
}

TEST_F(WindowTest, MovedToAScreenOfAnotherScaleTheWindowAndItsAboutBoxRedrawForIt) {
    const unsigned from = openedAt(dialog);
    move.to = from == 192 ? 96 : 192;
    SetTimer(nullptr, 0, 50, moveWhileAboutBoxOpen);
    SendMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);

    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(EqualRect(&rect, &move.offered));
    expectIconsAt(dialog, move.to);
    EXPECT_NEAR(move.after.width, move.before.width * double(move.to) / from,
                move.before.width * 0.15 * move.to / from);
    if (const auto seen = recorded(); seen.contains(move.to)) {
        EXPECT_EQ(move.after.width, seen.at(move.to).width);
    }
    EXPECT_EQ(move.boxIcon, MulDiv(32, static_cast<int>(from), 96));
    EXPECT_EQ(move.boxIconAfter, MulDiv(32, static_cast<int>(move.to), 96));
    EXPECT_EQ(move.boxTexts, (std::vector<std::string>{Application::aboutText(), Application::copyrightText(),
                                                       Application::contactText(), Application::kOkText}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, Application::kHelpFailedText);
    EXPECT_NE(boxes.shown[0].owner, dialog);
    EXPECT_TRUE(IsWindowEnabled(dialog));
}

// A rendering shrunk to a scale between two: each new pixel the average of what it covers, by area;
// asked to grow, it stays as it is.
TEST(ShrunkRendering, AveragesTheAreaEachPixelCoversAndNeverEnlarges) {
    const auto row = [](std::vector<std::uint8_t> greys) {
        Pixels picture{static_cast<int>(greys.size()), 1, std::vector<std::uint8_t>(greys.size() * 4)};
        for (std::size_t i = 0; i < greys.size(); ++i) {
            std::fill_n(picture.bgrx.begin() + static_cast<std::ptrdiff_t>(i * 4), 3, greys[i]);
        }
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

// What Windows asks of the program icon at 100 % to 200 %, it finds drawn at that size, not shrunk
// or enlarged from another.
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
