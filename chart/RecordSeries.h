#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/DetectorRecord.h"

// One record as the chart draws it: the record's wall-clock time in
// milliseconds since 1970-01-01 00:00:00 (no time zone applied) and its raw
// value.
struct ChartSample {
    double timeMs;
    std::int32_t value;
};

// Parses a record's time text, "yyyy-MM-dd hh:mm:ss". False, with `timeMs`
// left alone, for anything else, a date that does not exist (month 13,
// 30 February) or a time past 23:59:59 included.
bool parseRecordTime(const char* text, double& timeMs);

// The records of the store in a form that can be drawn at once: parsed once
// when they arrive, kept sorted by time (records with equal times keep their
// arrival order), with the value range kept up to date. Records whose time
// text is no valid date-time are counted and left out.
class RecordSeries {
public:
    void append(const DetectorRecord* records, std::size_t count);
    void clear();

    const std::vector<ChartSample>& samples() const { return m_samples; }
    bool empty() const { return m_samples.empty(); }
    std::int32_t minValue() const { return m_minValue; }
    std::int32_t maxValue() const { return m_maxValue; }
    std::size_t skipped() const { return m_skipped; }

private:
    void takeValueRange(std::size_t from);

    std::vector<ChartSample> m_samples;
    std::int32_t m_minValue = 0;
    std::int32_t m_maxValue = 0;
    std::size_t m_skipped = 0;
};
