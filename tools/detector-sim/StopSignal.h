#pragma once

// SIGTERM and SIGINT ask the simulator to stop. Every wait it makes looks at the request
// at least every 50 ms, so a test can stop it at any moment.

#include <chrono>

namespace sim {

using Clock = std::chrono::steady_clock;

// No SA_RESTART: a read or poll under way returns at once.
void installStopHandlers();

bool stopRequested();

// Sleeps until `deadline`; false as soon as a stop was requested.
bool sleepUntil(Clock::time_point deadline);

inline bool sleepFor(std::chrono::milliseconds duration) {
    return sleepUntil(Clock::now() + duration);
}

}  // namespace sim
