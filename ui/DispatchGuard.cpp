#include "DispatchGuard.h"

namespace relicwright {

DispatchGuard::DispatchGuard(MessagePresenter& presenter, QString caption, std::function<QWidget*()> owner)
    : presenter_(presenter), caption_(std::move(caption)), owner_(std::move(owner)) {}

void DispatchGuard::report(const HandlerFailure& failure) noexcept {
    if (failure.kind == HandlerFailure::Kind::OutOfMemory) {
        reportOutOfMemory();
        return;
    }
    QString text;
    try {
        text = QString::fromStdString(failure.text);
    } catch (...) {
        reportOutOfMemory();
        return;
    }
    show(Application::iconFor(failure.kind), text, false);
}

void DispatchGuard::reportOutOfMemory() noexcept {
    show(Application::iconFor(HandlerFailure::Kind::OutOfMemory), QString::fromLatin1(kOutOfMemoryText), true);
}

void DispatchGuard::reportWarning(const QString& text) noexcept {
    show(MessageIcon::Exclamation, text, false);
}

void DispatchGuard::show(MessageIcon icon, const QString& text, bool keepAbove) noexcept {
    try {
        presenter_.present(owner_ ? owner_() : nullptr, Message{caption_, text, icon, keepAbove});
    } catch (...) {
        // A box that cannot be shown is not reported any further.
    }
}

} // namespace relicwright
