#include "AboutBox.h"

#include "DispatchGuard.h"
#include "ResourceIds.h"
#include "ScaledPictures.h"
#include "WideText.h"
#include "WindowPlacement.h"

#include "Application.h"

namespace relicwright::winui {

static_assert(IDD_ABOUTBOX == kAboutBoxDialog);

AboutBox::AboutBox(DispatchGuard& guard, std::function<void(unsigned)> help)
    : guard_(guard), help_(std::move(help)) {}

AboutBox::~AboutBox() = default;

void AboutBox::run(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, dialogProcedure,
                    reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
}

INT_PTR CALLBACK AboutBox::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        auto* self = reinterpret_cast<AboutBox*>(lParam);
        self->window_ = window;
        self->guard_.run([&] { self->open(window); });
        // TRUE: the focus goes to the first control that takes it, the OK button.
        return TRUE;
    }
    auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return FALSE;
    }
    INT_PTR result = FALSE;
    if (!self->guard_.run([&] { result = self->handleMessage(message, wParam); })) {
        result = TRUE;
    }
    return result;
}

void AboutBox::open(HWND window) {
    SetWindowTextW(window, widen(Application::aboutBoxTitle()).c_str());
    SetDlgItemTextW(window, IDC_ABOUT_TEXT, widen(Application::aboutText()).c_str());
    SetDlgItemTextW(window, IDC_COPYRIGHT_TEXT, widen(Application::copyrightText()).c_str());
    SetDlgItemTextW(window, IDC_CONTACT_TEXT, widen(Application::contactText()).c_str());
    SetDlgItemTextW(window, IDOK, widen(Application::kOkText).c_str());
    pictures_ = std::make_unique<ScaledPictures>(window, false);
    pictures_->showFor(dpiOf(window));
    WindowPlacement::centre(window, GetWindow(window, GW_OWNER));
}

INT_PTR AboutBox::handleMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_DPICHANGED:
        // Moved to a screen of another scale: the icon in that screen's size. FALSE lets the dialog
        // manager scale the font and the layout in dialog units.
        if (pictures_) {
            pictures_->showFor(LOWORD(wParam));
        }
        return FALSE;
    case WM_DESTROY:
        pictures_.reset();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(window_, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
        if (GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
            help_(Application::helpTopic(kAboutBoxDialog));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace relicwright::winui
