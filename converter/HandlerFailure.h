#pragma once

#include "FileError.h"

#include <exception>
#include <new>
#include <optional>
#include <string>

namespace relicwright {

inline constexpr const char* kOutOfMemoryText = "Out of memory.";

// What escaped a window's handler, in the words the user is shown. The dispatch guards of the Qt
// window, the Windows window and the page all catch through runGuarded, so they report the same
// failures alike; only the message box differs.
struct HandlerFailure {
    enum class Kind { File, OutOfMemory, Unexpected };
    Kind kind;
    std::string text; // empty for OutOfMemory: kOutOfMemoryText needs no memory
};

// Anything but a file error or memory exhaustion is not expected; still, it is said, not fatal.
inline std::string unexpectedFailureText(const char* what) {
    std::string text = "An unexpected error occurred.";
    if (what != nullptr && *what != '\0') {
        text += '\n';
        text += what;
    }
    return text;
}

// Runs the handler; returns what escaped it, or nothing when it ended normally.
template <class Handler> std::optional<HandlerFailure> runGuarded(Handler&& handler) noexcept {
    try {
        try {
            handler();
            return std::nullopt;
        } catch (const FileError& error) {
            return HandlerFailure{HandlerFailure::Kind::File, error.message()};
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& error) {
            return HandlerFailure{HandlerFailure::Kind::Unexpected, unexpectedFailureText(error.what())};
        } catch (...) {
            return HandlerFailure{HandlerFailure::Kind::Unexpected, unexpectedFailureText(nullptr)};
        }
    } catch (...) {
        // Out of memory in the handler, or while putting its failure into words.
        return HandlerFailure{HandlerFailure::Kind::OutOfMemory, std::string()};
    }
}

} // namespace relicwright
