#ifndef VENTRIX_LINK_DETECTORRECORD_H
#define VENTRIX_LINK_DETECTORRECORD_H

#include <cstdint>
#include <vector>

// One alarm record as the detector reports it: the alarm's local time as
// "yyyy-mm-dd hh:mm:ss" text (zero-terminated, rest of the field zero) and
// the raw measured value; the unit is applied only when the value is shown.
struct DetectorRecord {
    char timeText[32] = {};
    std::int32_t value = 0;
};

// Records received since the last query, in arrival order.
using RecordStore = std::vector<DetectorRecord>;

#endif
