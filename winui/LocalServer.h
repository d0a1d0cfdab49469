#pragma once

#include "FileError.h"
#include "GameVariant.h"

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace relicwright::winui {

// relicwright.exe as COM starts it (-Embedding) for Explorer's "Convert to ... item": it serves the
// conversion classes, whose drop target takes a selection's paths and returns at once, and converts
// each selection afterwards on a thread of its own with its own summary. It ends once no caller
// holds one of its objects and no conversion is left, or when no caller comes at all.
class LocalServer {
public:
    explicit LocalServer(std::string applicationName) : applicationName_(std::move(applicationName)) {}
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // Whether the arguments are those COM starts a local server with.
    static bool isComStart(const std::vector<std::string>& arguments);

    // Registers the classes and serves them until the end above; returns the exit status.
    int serve();

    // Keeps the server running while an object lives; on the serving thread only.
    void hold();
    void release();
    // A caller has its object: the server no longer waits for one.
    void called();
    // Converts a selection after the call that handed it over has returned; false when no thread
    // could be started for it.
    bool convert(GameVariant target, std::vector<std::string> files, std::vector<FileError> refused);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string applicationName_;
    HWND window_ = nullptr; // receives the ends of conversions, also inside COM's modal loops
    long holds_ = 0;
    bool waitingForCaller_ = true;
    std::vector<DWORD> registrations_;
    std::vector<std::thread> conversions_;
};

} // namespace relicwright::winui
