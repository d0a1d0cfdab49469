#pragma once

#include "MessagePresenter.h"

#include "HandlerFailure.h"

#include <QString>

#include <functional>

class QWidget;

namespace relicwright {

// The one place where errors of the window's handlers are caught. Every handler runs inside
// run(); what escapes it is shown in a message box and the window goes on, so no exception ever
// reaches Qt's event loop.
class DispatchGuard {
public:
    // caption: the application's name; owner: the window that should own a message box now.
    DispatchGuard(MessagePresenter& presenter, QString caption, std::function<QWidget*()> owner);

    template <class Handler> void run(Handler&& handler) noexcept {
        if (const auto failure = runGuarded(std::forward<Handler>(handler))) {
            report(*failure);
        }
    }

    // A failure with the icon the application gives its kind; out of memory as below.
    void report(const HandlerFailure& failure) noexcept;
    // "Out of memory." with its kind's icon, above every other window.
    void reportOutOfMemory() noexcept;
    // Any other text with the exclamation icon, such as help that could not be started.
    void reportWarning(const QString& text) noexcept;

    const QString& caption() const { return caption_; }

private:
    void show(MessageIcon icon, const QString& text, bool keepAbove) noexcept;

    MessagePresenter& presenter_;
    QString caption_;
    std::function<QWidget*()> owner_;
};

} // namespace relicwright
