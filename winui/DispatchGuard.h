#pragma once

#include "MessageBoxes.h"

#include "HandlerFailure.h"

#include <functional>
#include <string>

namespace relicwright::winui {

// The one place where errors of the window's handlers are caught. Every message a window of the
// program handles runs inside run(); what escapes is shown in a message box and the window goes
// on, so no exception ever unwinds into the system's code.
class DispatchGuard {
public:
    // caption: the application's name; owner: the window that should own a message box now.
    DispatchGuard(MessageBoxes& boxes, std::string caption, std::function<HWND()> owner);

    // Returns false when the handler failed and the failure was reported.
    template <class Handler> bool run(Handler&& handler) noexcept {
        const auto failure = runGuarded(std::forward<Handler>(handler));
        if (failure) {
            report(*failure);
        }
        return !failure;
    }

    // A failure with the icon the application gives its kind; out of memory as below.
    void report(const HandlerFailure& failure) noexcept;
    // "Out of memory.", above every other window.
    void reportOutOfMemory() noexcept;
    // Any other warning, such as help that could not be started, with the exclamation icon.
    void reportWarning(const std::string& text) noexcept;
    // A plain message: no icon.
    void showMessage(const std::string& text);

private:
    void show(const std::string& text, UINT style) noexcept;

    MessageBoxes& boxes_;
    std::string caption_;
    std::function<HWND()> owner_;
};

} // namespace relicwright::winui
