#include "chart/MinMaxReduction.h"

#include <algorithm>

namespace {

bool timeBefore(const ChartSample& sample, double timeMs) {
    return sample.timeMs < timeMs;
}

bool timeAfter(double timeMs, const ChartSample& sample) {
    return timeMs < sample.timeMs;
}

}  // namespace

const std::vector<ChartSample>& MinMaxReduction::reduce(const std::vector<ChartSample>& samples,
                                                        double fromMs, double toMs, int columns) {
    m_points.clear();
    const auto first = std::lower_bound(samples.begin(), samples.end(), fromMs, timeBefore);
    const auto last = std::upper_bound(first, samples.end(), toMs, timeAfter);
    m_visibleCount = static_cast<std::size_t>(last - first);
    if (first != samples.begin())
        m_points.push_back(*(first - 1));

    columns = std::max(columns, 1);
    const double span = toMs - fromMs;
    const double columnsPerMs = span > 0 ? columns / span : 0.0;
    int column = -1;
    for (auto it = first; it != last; ++it) {
        const int sampleColumn =
            std::min(columns - 1, static_cast<int>((it->timeMs - fromMs) * columnsPerMs));
        if (sampleColumn != column) {
            flushColumn();
            column = sampleColumn;
            m_columnMin = m_columnMax = &*it;
        } else if (it->value < m_columnMin->value) {
            m_columnMin = &*it;
        } else if (it->value > m_columnMax->value) {
            m_columnMax = &*it;
        }
    }
    flushColumn();

    if (last != samples.end())
        m_points.push_back(*last);
    return m_points;
}

void MinMaxReduction::flushColumn() {
    if (!m_columnMin)
        return;
    const ChartSample* earlier = std::min(m_columnMin, m_columnMax);
    const ChartSample* later = std::max(m_columnMin, m_columnMax);
    m_points.push_back(*earlier);
    if (later != earlier)
        m_points.push_back(*later);
    m_columnMin = m_columnMax = nullptr;
}
