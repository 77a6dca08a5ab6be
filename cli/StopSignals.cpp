#include "cli/StopSignals.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QMetaObject>
#include <atomic>
#else
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#endif

namespace {

#ifdef Q_OS_WIN

StopSignals* g_receiver = nullptr;
std::atomic<bool> g_caught{false};

// Runs on a thread of its own that the system starts; the stop reaches the event loop
// queued. Returning FALSE leaves the event to the system's handler, which ends the
// program.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) || g_caught.exchange(true)) {
        return FALSE;
    }
    QMetaObject::invokeMethod(g_receiver, "on_caught", Qt::QueuedConnection);
    return TRUE;
}

#else

// The handler only writes a byte to this pipe; its reading end wakes the event loop.
int g_pipe[2] = {-1, -1};

void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

void setFlags(int descriptor) {
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
}

void setHandler(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

#endif

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    install();
}

StopSignals::~StopSignals() {
    uninstall();
}

#ifdef Q_OS_WIN

void StopSignals::install() {
    g_receiver = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void StopSignals::uninstall() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    g_receiver = nullptr;
}

void StopSignals::on_caught() {
    m_requested = true;
    emit stopRequested();
}

#else

// SA_RESETHAND puts the default action back once a signal is caught.
void StopSignals::install() {
    if (::pipe(g_pipe) != 0) {
        return;
    }
    setFlags(g_pipe[0]);
    setFlags(g_pipe[1]);
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, SIGNAL(activated(int)), this, SLOT(on_caught()));
    setHandler(onSignal, SA_RESETHAND | SA_RESTART);
}

void StopSignals::uninstall() {
    setHandler(SIG_DFL, 0);
    delete m_notifier;
    for (int& descriptor : g_pipe) {
        if (descriptor >= 0) {
            ::close(descriptor);
            descriptor = -1;
        }
    }
}

void StopSignals::on_caught() {
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) > 0) {
    }
    if (!m_requested) {
        m_requested = true;
        emit stopRequested();
    }
}

#endif
