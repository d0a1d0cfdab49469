#include "DispatchGuard.h"

namespace relicwright {

DispatchGuard::DispatchGuard(MessagePresenter& presenter, QString caption, std::function<QWidget*()> owner)
    : presenter_(presenter), caption_(std::move(caption)), owner_(std::move(owner)) {}

void DispatchGuard::reportFileError(const FileError& error) noexcept {
    QString text;
    try {
        text = QString::fromStdString(error.message());
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return;
    }
    show(MessageIcon::Stop, text, false);
}

void DispatchGuard::reportOutOfMemory() noexcept {
    show(MessageIcon::Exclamation, QString::fromLatin1(kOutOfMemoryText), true);
}

void DispatchGuard::reportWarning(const QString& text) noexcept {
    show(MessageIcon::Exclamation, text, false);
}

void DispatchGuard::reportUnexpected(const char* what) noexcept {
    // Nothing but file errors and memory exhaustion is expected here; still, say something rather
    // than let it end the program.
    QString text;
    try {
        text = QStringLiteral("An unexpected error occurred.");
        if (what != nullptr && *what != '\0') {
            text += QLatin1Char('\n') + QString::fromUtf8(what);
        }
    } catch (...) {
        reportOutOfMemory();
        return;
    }
    show(MessageIcon::Stop, text, false);
}

void DispatchGuard::show(MessageIcon icon, const QString& text, bool keepAbove) noexcept {
    try {
        presenter_.present(owner_ ? owner_() : nullptr, Message{caption_, text, icon, keepAbove});
    } catch (...) {
        // A box that cannot be shown is not reported any further.
    }
}

} // namespace relicwright
