#pragma once

#include <cstddef>
#include <vector>

#include "chart/RecordSeries.h"

// Thins a time-sorted series down to what a line of `columns` pixel columns
// can show: for every column that holds samples, the smallest and the largest
// value, in the order they occur. A spike or a dip inside a column survives
// however many samples share it. The nearest sample on either side of the
// time range is kept as it is, so the line runs on to the edges.
class MinMaxReduction {
public:
    // The reduced points for the time range [fromMs, toMs]; at most
    // 2 * columns + 2 of them, sorted by time. Valid until the next call.
    const std::vector<ChartSample>& reduce(const std::vector<ChartSample>& samples, double fromMs,
                                           double toMs, int columns);

    // Samples inside the time range of the last reduce().
    std::size_t visibleCount() const { return m_visibleCount; }

private:
    void flushColumn();

    std::vector<ChartSample> m_points;
    std::size_t m_visibleCount = 0;
    const ChartSample* m_columnMin = nullptr;
    const ChartSample* m_columnMax = nullptr;
};
