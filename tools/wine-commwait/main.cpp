// Shows how Wine's serial driver answers the calls with which Qt's Windows
// serial backend learns of received bytes: an overlapped WaitCommEvent with an
// event handle that an event notifier watches (Wine's trace shows it as
// IOCTL_SERIAL_WAIT_ON_MASK), and reads started with ReadFileEx whose
// completion routine runs as an APC. The port must lead to a detector (or its
// simulator), which answers the identify command. Three checks, each against
// what Windows documents:
//
//  1. The wait, nothing received: stays pending.
//  2. The same wait once the answer has arrived: completes with EV_RXCHAR and
//     signals its event.
//  3. A read started with ReadFileEx once the answer is there: its completion
//     routine runs in the next alertable wait, with the answer's bytes.
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
};

bool openPort(const std::wstring& name, Port& port) {
    port.handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return SetCommTimeouts(port.handle, &timeouts) && SetCommMask(port.handle, EV_RXCHAR) &&
           PurgeComm(port.handle, PURGE_RXCLEAR | PURGE_RXABORT);
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
    CancelIo(port.handle);
    CloseHandle(wait.hEvent);
    drain(port);
    return ok;
}

DWORD g_readBytes = 0;
bool g_readCompleted = false;

void WINAPI readCompleted(DWORD error, DWORD count, OVERLAPPED*) {
    g_readCompleted = error == 0;
    g_readBytes = count;
}

bool checkReadByApc(const Port& port) {
    static char buffer[256];
    static OVERLAPPED read{};
    if (!identify(port) || !ReadFileEx(port.handle, buffer, sizeof buffer, &read, readCompleted)) {
        return check(false, "read with a completion routine", "could not be started");
    }
    SleepEx(kQuietMs, TRUE);
    char found[64];
    std::snprintf(found, sizeof found, "%s, %lu bytes",
                  g_readCompleted ? "routine ran" : "routine did not run",
                  static_cast<unsigned long>(g_readBytes));
    return check(g_readCompleted && g_readBytes > 0, "read with a completion routine", found);
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
    ok = checkReadByApc(port) && ok;
    std::fflush(stdout);
    CloseHandle(port.handle);
    return ok ? 0 : 1;
}
