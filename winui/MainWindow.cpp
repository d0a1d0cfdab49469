#include "MainWindow.h"

#include "AboutBox.h"
#include "ComboChoiceList.h"
#include "HelpPage.h"
#include "ResourceIds.h"
#include "ScaledPictures.h"
#include "WideText.h"
#include "Win32WindowServices.h"
#include "WindowPlacement.h"

#include "Application.h"
#include "Converter.h"

#include <shellapi.h>

#include <utility>

namespace relicwright::winui {

// The resource script numbers the dialog and its controls as the application does.
static_assert(IDD_MAINWINDOW == kMainWindowDialog);
static_assert(IDC_LOAD == static_cast<unsigned>(Control::LoadButton));
static_assert(IDC_SAVE == static_cast<unsigned>(Control::SaveButton));
static_assert(IDC_ITEM_FIELD == static_cast<unsigned>(Control::ItemField));
static_assert(IDC_ITEM_LIST == static_cast<unsigned>(Control::ItemList));
static_assert(IDC_SOURCE_GAME_FIELD == static_cast<unsigned>(Control::SourceGameField));
static_assert(IDC_TARGET_LIST == static_cast<unsigned>(Control::TargetList));

namespace {

// Posted to itself once the window is up, to load a file given before it opened.
constexpr UINT kLoadPendingFile = WM_APP + 1;

// Each field and list with the hidden label before it that carries its name.
constexpr std::pair<int, Control> kNamedControls[] = {
    {IDC_ITEM_FIELD_NAME, Control::ItemField},
    {IDC_ITEM_LIST_NAME, Control::ItemList},
    {IDC_SOURCE_GAME_FIELD_NAME, Control::SourceGameField},
    {IDC_TARGET_LIST_NAME, Control::TargetList},
};

HINSTANCE instance() {
    return GetModuleHandleW(nullptr);
}

bool modifierDown() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

} // namespace

MainWindow::MainWindow(const std::string& applicationName, const Services& services)
    : services_(services),
      icon_(static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                          LR_DEFAULTCOLOR))),
      guard_(services.messages, applicationName, [this] { return messageOwner(); }) {}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (icon_ != nullptr) {
        DestroyIcon(icon_);
    }
}

INT_PTR MainWindow::run() {
    const INT_PTR result = DialogBoxParamW(instance(), MAKEINTRESOURCEW(IDD_MAINWINDOW), nullptr, dialogProcedure,
                                           reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    return result;
}

HWND MainWindow::create() {
    return CreateDialogParamW(instance(), MAKEINTRESOURCEW(IDD_MAINWINDOW), nullptr, dialogProcedure,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainWindow::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        auto* self = reinterpret_cast<MainWindow*>(lParam);
        self->window_ = window;
        // The focus is set by open(): FALSE keeps the dialog manager from moving it.
        self->guard_.run([&] { self->open(window); });
        return FALSE;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    // A handler that failed counts as handled.
    if (!self->guard_.run([&] { result = self->handleMessage(message, wParam, lParam); })) {
        result = TRUE;
    }
    return result;
}

void MainWindow::open(HWND window) {
    SetWindowTextW(window, widen(Application::windowTitle()).c_str());
    SetDlgItemTextW(window, IDC_LOAD, widen(Application::kLoadText).c_str());
    SetDlgItemTextW(window, IDC_SAVE, widen(Application::kSaveText).c_str());
    for (const auto& [label, control] : kNamedControls) {
        SetDlgItemTextW(window, label, widen(Application::accessibleName(control)).c_str());
    }
    itemChoices_ = std::make_unique<ComboChoiceList>(GetDlgItem(window, IDC_ITEM_LIST));
    targetChoices_ = std::make_unique<ComboChoiceList>(GetDlgItem(window, IDC_TARGET_LIST));
    windowServices_ = std::make_unique<Win32WindowServices>(window, services_.fileDialogs, guard_);
    converter_ = std::make_unique<Converter>(*itemChoices_, *targetChoices_, *windowServices_, services_.files);

    converter_->fillLists();
    converter_->pushToWindow();

    if (HMENU systemMenu = GetSystemMenu(window, FALSE)) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, widen(Application::kAboutEntryText).c_str());
    }
    // The large and small icons, and the banner, for the screen the window opens on.
    pictures_ = std::make_unique<ScaledPictures>(window, true);
    pictures_->showFor(dpiOf(window));
    WindowPlacement::centre(window, nullptr);
    // Through the dialog manager, so that Load also becomes the button that Enter presses.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_LOAD)), TRUE);
    DragAcceptFiles(window, TRUE);
    if (pendingFile_) {
        PostMessageW(window, kLoadPendingFile, 0, 0);
    }
}

INT_PTR MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DPICHANGED:
        // Moved to a screen of another scale: the frame where the system suggests, the banner and
        // icons drawn for that scale. FALSE lets the dialog manager scale the font and the layout in
        // dialog units, as it does for the About box and message boxes open over the window.
        if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (pictures_) {
            pictures_->showFor(LOWORD(wParam));
        }
        return FALSE;
    case WM_DESTROY:
        pictures_.reset();
        return FALSE;
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            showAboutBox();
            return TRUE;
        }
        return FALSE;
    case WM_PAINT:
        return paintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(icon_);
    case WM_HELP:
        if (!modifierDown()) {
            requestHelp(Application::helpTopic(kMainWindowDialog));
        }
        return TRUE;
    case WM_DROPFILES:
        takeDrop(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case kLoadPendingFile:
        if (pendingFile_) {
            const std::string path = std::move(*pendingFile_);
            pendingFile_.reset();
            loadFile(path);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

bool MainWindow::onCommand(WORD id, WORD code) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        // Enter outside a button, Escape, the close button: the window ends, asking nothing.
        ending_ = id;
        EndDialog(window_, id);
        return true;
    case IDC_LOAD:
        if (code == BN_CLICKED) {
            converter_->loadSourceFile();
        }
        return true;
    case IDC_SAVE:
        if (code == BN_CLICKED) {
            converter_->saveOutputFile();
        }
        return true;
    case IDC_TARGET_LIST:
        if (code == CBN_CLOSEUP) {
            converter_->applyTargetGame();
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool MainWindow::paintMinimised() {
    if (!IsIconic(window_)) {
        return false;
    }
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(window_, &paint);
    return true;
}

void MainWindow::takeDrop(HDROP drop) {
    std::optional<std::wstring> path;
    // One file, not a folder; anything else is ignored.
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, 0, name.data(), length + 1);
        name.resize(length);
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            path = name;
        }
    }
    DragFinish(drop);
    if (path) {
        loadFile(narrow(*path));
    }
}

void MainWindow::loadFile(const std::string& path) {
    converter_->loadFile(FileChoice::fromPath(path));
}

void MainWindow::showAboutBox() {
    AboutBox box(guard_, [this](unsigned topic) { requestHelp(topic); });
    aboutBox_ = &box;
    struct Forget {
        AboutBox*& box;
        ~Forget() { box = nullptr; }
    } forget{aboutBox_};
    box.run(window_);
}

void MainWindow::requestHelp(unsigned topic) {
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool started = services_.help.open(window_, topic);
    SetCursor(previous);
    if (!started) {
        guard_.reportWarning(Application::kHelpFailedText);
    }
}

HWND MainWindow::messageOwner() const {
    if (aboutBox_ != nullptr && aboutBox_->handle() != nullptr) {
        return aboutBox_->handle();
    }
    return window_;
}

} // namespace relicwright::winui
