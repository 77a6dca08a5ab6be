#pragma once

#include <cstdio>

#include "link/DetectorRecord.h"

// A stored record with the given time text and raw value.
inline DetectorRecord makeRecord(const char* time, int value) {
    DetectorRecord record{};
    std::snprintf(record.timeText, sizeof record.timeText, "%s", time);
    record.value = value;
    return record;
}
