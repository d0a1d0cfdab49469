#include "DispatchGuard.h"

#include "Application.h"

namespace relicwright::winui {

DispatchGuard::DispatchGuard(MessageBoxes& boxes, std::string caption, std::function<HWND()> owner)
    : boxes_(boxes), caption_(std::move(caption)), owner_(std::move(owner)) {}

void DispatchGuard::report(const HandlerFailure& failure) noexcept {
    if (failure.kind == HandlerFailure::Kind::OutOfMemory) {
        reportOutOfMemory();
        return;
    }
    show(failure.text, MB_OK | iconStyle(Application::iconFor(failure.kind)) | MB_APPLMODAL);
}

void DispatchGuard::reportOutOfMemory() noexcept {
    try {
        show(kOutOfMemoryText,
             MB_OK | iconStyle(Application::iconFor(HandlerFailure::Kind::OutOfMemory)) | MB_SYSTEMMODAL);
    } catch (...) {
        // Not even the text could be made: nothing more can be said.
    }
}

void DispatchGuard::reportWarning(const std::string& text) noexcept {
    show(text, MB_OK | MB_ICONEXCLAMATION | MB_APPLMODAL);
}

void DispatchGuard::showMessage(const std::string& text) {
    boxes_.show(owner_(), caption_, text, MB_OK | MB_APPLMODAL);
}

void DispatchGuard::show(const std::string& text, UINT style) noexcept {
    try {
        boxes_.show(owner_(), caption_, text, style);
    } catch (...) {
        // A box that cannot be shown is not reported any further.
    }
}

} // namespace relicwright::winui
