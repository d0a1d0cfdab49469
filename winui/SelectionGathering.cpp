#include "SelectionGathering.h"

#include "WideText.h"

#include <windows.h>

#include <cstdint>

namespace relicwright::winui {

namespace {

// Explorer starts the processes of one selection one after another, slowly on a busy machine; one
// that has not handed its files over this long after the last one did belongs to another selection.
constexpr DWORD kQuietMilliseconds = 3000;
// However long a selection keeps coming, the files gathered so far are converted after this.
constexpr ULONGLONG kLongestGathering = 60000;
// A process that finds a gatherer but cannot reach it tries this long before converting alone.
constexpr ULONGLONG kLongestHandover = 10000;
// What the gatherer answers once it has taken the files over.
constexpr char kTaken = 'T';

// Closes a handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

// One name per game and logon session: Explorer's processes for one selection share both.
std::wstring objectName(GameVariant target) {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return L"Relicwright-convert-to-" + widen(variantText(target)) + L"-" + std::to_wstring(session);
}

// The paths as the pipe carries them: each followed by a zero byte, after the total length.
std::string message(const std::vector<std::string>& files) {
    std::string body;
    for (const std::string& file : files) {
        body += file;
        body.push_back('\0');
    }
    const auto length = static_cast<std::uint32_t>(body.size());
    return std::string(reinterpret_cast<const char*>(&length), sizeof length) + body;
}

// Waits for an overlapped step on the pipe; false, with the step cancelled, when it took too long.
bool finish(HANDLE pipe, OVERLAPPED& step, DWORD milliseconds, DWORD& moved) {
    if (WaitForSingleObject(step.hEvent, milliseconds) != WAIT_OBJECT_0) {
        CancelIo(pipe);
    }
    return GetOverlappedResult(pipe, &step, &moved, TRUE) != FALSE;
}

bool readAll(HANDLE pipe, char* into, DWORD size) {
    Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    while (size > 0) {
        OVERLAPPED step{};
        step.hEvent = event.get();
        DWORD moved = 0;
        if (!ReadFile(pipe, into, size, nullptr, &step) && GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        if (!finish(pipe, step, 1000, moved) || moved == 0) {
            return false;
        }
        into += moved;
        size -= moved;
    }
    return true;
}

// Takes one process's files from a connected pipe and answers that they are taken.
void takeFrom(HANDLE pipe, std::vector<std::string>& files) {
    std::uint32_t length = 0;
    if (!readAll(pipe, reinterpret_cast<char*>(&length), sizeof length) || length > (1u << 24)) {
        return;
    }
    std::string body(length, '\0');
    if (!readAll(pipe, body.data(), length)) {
        return;
    }
    Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED step{};
    step.hEvent = event.get();
    DWORD moved = 0;
    if (!WriteFile(pipe, &kTaken, 1, nullptr, &step) && GetLastError() != ERROR_IO_PENDING) {
        return;
    }
    // Only files whose sender heard they were taken are this run's; any other sender converts its own.
    if (!finish(pipe, step, 1000, moved) || moved != 1) {
        return;
    }
    // Disconnecting drops what the sender has not read yet: it closes its end once it has the answer.
    char after = 0;
    readAll(pipe, &after, 1);
    for (std::size_t start = 0; start < body.size();) {
        const std::size_t end = body.find('\0', start);
        files.push_back(body.substr(start, end - start));
        start = end + 1;
    }
}

void gatherInto(const std::wstring& pipeName, std::vector<std::string>& files) {
    Handle pipe(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                 4096, 4096, 0, nullptr));
    Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!pipe || !event) {
        return;
    }
    const ULONGLONG end = GetTickCount64() + kLongestGathering;
    while (GetTickCount64() < end) {
        OVERLAPPED step{};
        step.hEvent = event.get();
        ResetEvent(event.get());
        bool connected = ConnectNamedPipe(pipe.get(), &step) != FALSE || GetLastError() == ERROR_PIPE_CONNECTED;
        if (!connected && GetLastError() == ERROR_IO_PENDING) {
            DWORD unused = 0;
            connected = finish(pipe.get(), step, kQuietMilliseconds, unused);
        }
        if (!connected) {
            return;
        }
        takeFrom(pipe.get(), files);
        DisconnectNamedPipe(pipe.get());
    }
}

enum class Handover { Taken, NoGatherer, Failed };

Handover handOver(const std::wstring& pipeName, const std::vector<std::string>& files) {
    Handle pipe(CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe) {
        if (GetLastError() == ERROR_PIPE_BUSY) {
            WaitNamedPipeW(pipeName.c_str(), 500);
            return Handover::Failed;
        }
        return Handover::NoGatherer;
    }
    const std::string sent = message(files);
    DWORD moved = 0;
    if (!WriteFile(pipe.get(), sent.data(), static_cast<DWORD>(sent.size()), &moved, nullptr) ||
        moved != sent.size()) {
        return Handover::Failed;
    }
    char answer = 0;
    if (!ReadFile(pipe.get(), &answer, 1, &moved, nullptr) || moved != 1 || answer != kTaken) {
        return Handover::Failed;
    }
    return Handover::Taken;
}

} // namespace

std::vector<std::string> SelectionGathering::gather(GameVariant target, std::vector<std::string> files) {
    const std::wstring name = objectName(target);
    const std::wstring pipeName = L"\\\\.\\pipe\\" + name;
    const std::wstring mutexName = L"Local\\" + name;
    const ULONGLONG end = GetTickCount64() + kLongestHandover;
    do {
        {
            // The name stands while a process gathers: the first to make it gathers.
            const Handle gathering(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
            if (!gathering) {
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) {
                // Its pipe goes before its name: a process that then finds no pipe tries again, and
                // gathers for itself once the name is gone.
                gatherInto(pipeName, files);
                return files;
            }
            // Closed before handing over, so that the name goes with the process that gathers.
        }
        switch (handOver(pipeName, files)) {
        case Handover::Taken:
            return {};
        case Handover::NoGatherer:
            Sleep(20);
            break;
        case Handover::Failed:
            break;
        }
    } while (GetTickCount64() < end);
    return files;
}

} // namespace relicwright::winui
