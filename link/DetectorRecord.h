#pragma once

#include <cstdint>
#include <vector>

// One alarm record as the detector reports it: when it happened and the raw value.
struct DetectorRecord {
    // "%04d-%02d-%02d %02d:%02d:%02d" (19 characters for valid dates), zero-filled.
    char timeText[32];
    // Raw measured value, before any unit conversion.
    std::int32_t value;
};

// Records received since the last query, in arrival order.
using RecordStore = std::vector<DetectorRecord>;
