#pragma once

#include "link/DetectorLink.h"

// The link's reply and search times, short enough for quick tests and long enough for
// a loaded machine to keep up.
inline DetectorLink::Timing quickTiming() {
    DetectorLink::Timing timing;
    timing.firstByteMs = 1500;
    timing.replyEndMs = 700;
    timing.drainSilenceMs = 300;
    timing.retryMs = 1000;
    return timing;
}
