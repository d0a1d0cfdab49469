#include "LocalServer.h"

#include "ConversionClasses.h"
#include "ConversionDropTarget.h"
#include "ConversionRun.h"

#include <objbase.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <utility>

namespace relicwright::winui {

namespace {

// COM gives a caller the class the moment it is registered; a server nobody calls by then was
// started by hand, or its caller went away, and ends.
constexpr UINT kCallerWaitMilliseconds = 10000;
constexpr UINT kConversionEnded = WM_APP + 1;
constexpr UINT_PTR kCallerTimer = 1;

bool equalsIgnoringCase(const std::string& text, const char* expected) {
    return std::equal(text.begin(), text.end(), expected, expected + std::char_traits<char>::length(expected),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

} // namespace

bool LocalServer::isComStart(const std::vector<std::string>& arguments) {
    return arguments.size() == 1 &&
           (equalsIgnoringCase(arguments[0], "-embedding") || equalsIgnoringCase(arguments[0], "/embedding"));
}

LRESULT CALLBACK LocalServer::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* server = reinterpret_cast<LocalServer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (server != nullptr && message == kConversionEnded) {
        server->release();
        return 0;
    }
    if (server != nullptr && message == WM_TIMER && wParam == kCallerTimer) {
        KillTimer(window, kCallerTimer);
        if (server->waitingForCaller_) {
            server->waitingForCaller_ = false;
            server->release();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int LocalServer::serve() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    const WNDCLASSW windowClass{0,       windowProcedure, 0,       0,       GetModuleHandleW(nullptr),
                                nullptr, nullptr,         nullptr, nullptr, L"RelicwrightLocalServer"};
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    if (window_ == nullptr) {
        CoUninitialize();
        return 1;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hold(); // until the first caller has its object
    SetTimer(window_, kCallerTimer, kCallerWaitMilliseconds, nullptr);

    ConversionClassFactory toHellfire(*this, GameVariant::Hellfire);
    ConversionClassFactory toDiablo(*this, GameVariant::Diablo);
    for (auto [factory, target] :
         {std::pair{&toHellfire, GameVariant::Hellfire}, {&toDiablo, GameVariant::Diablo}}) {
        DWORD registration = 0;
        if (SUCCEEDED(CoRegisterClassObject(conversionClass(target), factory, CLSCTX_LOCAL_SERVER,
                                            REGCLS_MULTIPLEUSE, &registration))) {
            registrations_.push_back(registration);
        }
    }
    int status = 1;
    if (!registrations_.empty()) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        status = 0;
    }
    for (const DWORD registration : registrations_) {
        CoRevokeClassObject(registration);
    }
    for (std::thread& conversion : conversions_) {
        conversion.join();
    }
    DestroyWindow(window_);
    CoUninitialize();
    return status;
}

void LocalServer::hold() {
    ++holds_;
}

void LocalServer::release() {
    if (--holds_ > 0) {
        return;
    }
    // Revoked on this thread before it takes another call: a caller that comes now starts a new server.
    for (const DWORD registration : registrations_) {
        CoRevokeClassObject(registration);
    }
    registrations_.clear();
    PostQuitMessage(0);
}

void LocalServer::called() {
    if (waitingForCaller_) {
        waitingForCaller_ = false;
        release();
    }
}

bool LocalServer::convert(GameVariant target, std::vector<std::string> files,
                          std::vector<FileError> refused) {
    hold();
    try {
        conversions_.emplace_back([this, target, files = std::move(files), refused = std::move(refused)] {
            try {
                ConversionRun::convert(target, files, refused, applicationName_);
            } catch (...) {
                // Nothing escapes the thread; whatever was saved is complete, as every save is.
            }
            PostMessageW(window_, kConversionEnded, 0, 0);
        });
    } catch (const std::exception&) {
        release();
        return false;
    }
    return true;
}

} // namespace relicwright::winui
