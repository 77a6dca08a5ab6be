// Shows how Wine's serial driver answers WaitCommEvent on an overlapped port,
// the call that Qt's Windows serial backend waits on for received bytes. The
// port must lead to a detector (or its simulator), which answers the identify
// command. Three checks, each against what Windows documents:
//
//  1. A wait with an event handle, nothing received: stays pending.
//  2. The same wait once the answer has arrived: completes with EV_RXCHAR and
//     queues a packet on the I/O completion port that the handle is bound to.
//  3. A wait without an event handle (hEvent null, as Qt issues it): returns
//     FALSE with ERROR_IO_PENDING and does not block the caller.
//
//   wine-commwait [PORT]    (default COM5)
// Exit status: 0 all three as documented, 1 otherwise, 2 the port failed.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const unsigned char kIdentify[] = {0x0A, 0x0B, 0x0C, 0x00, 0x01, 0x00, 0x22, 0xA3, 0xB3};
constexpr DWORD kQuietMs = 300;

struct Port {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE completion = nullptr;
};

bool openPort(const std::wstring& name, Port& port) {
    port.handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    port.completion = CreateIoCompletionPort(port.handle, nullptr, 1, 0);
    return SetCommTimeouts(port.handle, &timeouts) && SetCommMask(port.handle, EV_RXCHAR) &&
           PurgeComm(port.handle, PURGE_RXCLEAR | PURGE_RXABORT) && port.completion != nullptr;
}

// Writes the identify command and gives the answer time to arrive.
bool identify(const Port& port) {
    OVERLAPPED write{};
    write.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD count = 0;
    if (!WriteFile(port.handle, kIdentify, sizeof kIdentify, nullptr, &write) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    const bool written = GetOverlappedResult(port.handle, &write, &count, TRUE);
    CloseHandle(write.hEvent);
    Sleep(kQuietMs);
    return written && count == sizeof kIdentify;
}

// Reads what the line holds, to leave it empty for the next program.
void drain(const Port& port) {
    char buffer[256];
    OVERLAPPED read{};
    read.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD count = 0;
    if (ReadFile(port.handle, buffer, sizeof buffer, nullptr, &read) ||
        GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(read.hEvent, kQuietMs) == WAIT_TIMEOUT) {
            CancelIo(port.handle);
        }
        GetOverlappedResult(port.handle, &read, &count, TRUE);
    }
    CloseHandle(read.hEvent);
}

// The packet the completion port holds for `overlapped`, skipping others.
bool packetQueuedFor(const Port& port, const OVERLAPPED* overlapped) {
    DWORD count = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* done = nullptr;
    while (GetQueuedCompletionStatus(port.completion, &count, &key, &done, 0) || done != nullptr) {
        if (done == overlapped) {
            return true;
        }
    }
    return false;
}

bool check(bool documented, const char* what, const std::string& found) {
    std::printf("%s %s: %s\n", documented ? "as documented" : "WINE DIFFERS ", what, found.c_str());
    return documented;
}

std::string completionText(const OVERLAPPED& overlapped, DWORD mask) {
    char text[96];
    std::snprintf(text, sizeof text, "completed, status 0x%08lx, event mask 0x%lx",
                  static_cast<unsigned long>(overlapped.Internal),
                  static_cast<unsigned long>(mask));
    return text;
}

bool checkEventWait(const Port& port) {
    OVERLAPPED wait{};
    wait.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD mask = 0;
    const bool started =
        WaitCommEvent(port.handle, &mask, &wait) || GetLastError() == ERROR_IO_PENDING;
    const bool idle = started && WaitForSingleObject(wait.hEvent, kQuietMs) == WAIT_TIMEOUT;
    bool ok = check(idle, "wait with an event, nothing received",
                    idle ? "pending" : completionText(wait, mask));
    const bool answered = identify(port) && WaitForSingleObject(wait.hEvent, 0) == WAIT_OBJECT_0;
    const bool rxchar = answered && wait.Internal == 0 && (mask & EV_RXCHAR) != 0;
    ok = check(rxchar, "the same wait after the answer",
               answered ? completionText(wait, mask) : "still pending") &&
         ok;
    const bool queued = packetQueuedFor(port, &wait);
    ok = check(queued, "completion packet for that wait", queued ? "queued" : "none") && ok;
    CancelIo(port.handle);
    CloseHandle(wait.hEvent);
    drain(port);
    return ok;
}

struct NullEventWait {
    HANDLE port;
    OVERLAPPED overlapped;
    DWORD mask;
    BOOL result;
    DWORD error;
};

DWORD WINAPI waitWithoutEvent(void* context) {
    auto* wait = static_cast<NullEventWait*>(context);
    wait->result = WaitCommEvent(wait->port, &wait->mask, &wait->overlapped);
    wait->error = wait->result ? 0 : GetLastError();
    return 0;
}

bool checkNullEventWait(const Port& port) {
    // Lives as long as the process: a wait that stays pending may still
    // write its result.
    static NullEventWait wait{port.handle, {}, 0, FALSE, 0};
    HANDLE thread = CreateThread(nullptr, 0, waitWithoutEvent, &wait, 0, nullptr);
    if (WaitForSingleObject(thread, kQuietMs) == WAIT_TIMEOUT) {
        // The call does not return while the line stays silent.
        return check(false, "wait without an event", "blocks the calling thread");
    }
    CloseHandle(thread);
    const bool pending = !wait.result && wait.error == ERROR_IO_PENDING;
    char found[96];
    std::snprintf(found, sizeof found, "returned %s, error %lu, event mask 0x%lx",
                  wait.result ? "TRUE" : "FALSE", static_cast<unsigned long>(wait.error),
                  static_cast<unsigned long>(wait.mask));
    return check(pending, "wait without an event, nothing received", found);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string name = argc > 1 ? argv[1] : "COM5";
    Port port;
    if (!openPort(L"\\\\.\\" + std::wstring(name.begin(), name.end()), port)) {
        std::printf("wine-commwait: cannot open %s (error %lu)\n", name.c_str(),
                    static_cast<unsigned long>(GetLastError()));
        return 2;
    }
    bool ok = checkEventWait(port);
    ok = checkNullEventWait(port) && ok;
    std::fflush(stdout);
    if (!ok) {
        // A blocked waiter would keep the process alive.
        ExitProcess(1);
    }
    CloseHandle(port.handle);
    return 0;
}
