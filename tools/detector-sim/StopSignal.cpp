#include "StopSignal.h"

#include <algorithm>
#include <csignal>
#include <thread>

namespace sim {

namespace {

volatile std::sig_atomic_t stopFlag = 0;

void onStopSignal(int) {
    stopFlag = 1;
}

constexpr std::chrono::milliseconds kLongestSleep{50};

}  // namespace

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool stopRequested() {
    return stopFlag != 0;
}

bool sleepUntil(Clock::time_point deadline) {
    while (!stopRequested()) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return true;
        }
        std::this_thread::sleep_until(std::min(deadline, now + kLongestSleep));
    }
    return false;
}

}  // namespace sim
