// The chart's data side: record times, the sorted series and the per-column
// min/max reduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chart/MinMaxReduction.h"
#include "chart/RecordSeries.h"
#include "tests/MakeRecord.h"

namespace {

struct TimeCase {
    const char* text;
    double seconds;  // < 0: not a valid record time
};

class RecordTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(RecordTimeTest, ParsesValidDateTimesOnly) {
    double ms = -1;
    EXPECT_EQ(parseRecordTime(GetParam().text, ms), GetParam().seconds >= 0) << GetParam().text;
    EXPECT_EQ(ms, GetParam().seconds >= 0 ? GetParam().seconds * 1000.0 : -1) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecordTimeTest,
    ::testing::Values(TimeCase{"1970-01-01 00:00:00", 0},
                      TimeCase{"2024-01-02 03:04:05", 1704164645},
                      TimeCase{"2024-02-29 12:00:00", 1709208000},
                      TimeCase{"2000-03-01 00:00:00", 951868800},
                      TimeCase{"2255-12-31 23:59:59", 9025257599},
                      TimeCase{"2023-02-29 00:00:00", -1}, TimeCase{"2024-13-01 00:00:00", -1},
                      TimeCase{"2024-04-31 00:00:00", -1}, TimeCase{"2024-01-00 00:00:00", -1},
                      TimeCase{"2024-01-01 24:00:00", -1}, TimeCase{"2024-01-01 00:60:00", -1},
                      TimeCase{"2024-01-01 00:00:60", -1}, TimeCase{"2024-1-01 00:00:00", -1},
                      TimeCase{"2024-01-01 00:00:00 ", -1}, TimeCase{"", -1}));

TEST(RecordSeriesTest, SortsBatchesKeepsArrivalOrderForEqualTimesAndSkipsBadTimes) {
    const std::vector<DetectorRecord> first = {makeRecord("2024-01-01 00:00:10", 1),
                                               makeRecord("2024-01-01 00:00:30", 2)};
    const std::vector<DetectorRecord> second = {
        makeRecord("2024-01-01 00:00:40", 3), makeRecord("2024-01-01 00:00:10", -4),
        makeRecord("2024-13-01 00:00:00", 900), makeRecord("2024-01-01 00:00:00", 6)};
    RecordSeries series;
    series.append(first.data(), first.size());
    series.append(second.data(), second.size());

    std::vector<int> values;
    for (const ChartSample& sample : series.samples())
        values.push_back(sample.value);
    EXPECT_EQ(values, (std::vector<int>{6, 1, -4, 2, 3}));
    EXPECT_EQ(series.skipped(), 1u);
    EXPECT_EQ(series.minValue(), -4);
    EXPECT_EQ(series.maxValue(), 6);

    series.clear();
    series.append(second.data(), 1);
    EXPECT_EQ(series.minValue(), 3);
    EXPECT_EQ(series.maxValue(), 3);
    EXPECT_EQ(series.skipped(), 0u);
}

class SpikeTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SpikeTest, OneRecordSpikeSurvivesItsColumn) {
    constexpr int kSamples = 250000, kColumns = 800;
    std::vector<ChartSample> samples;
    for (int i = 0; i < kSamples; ++i)
        samples.push_back({i * 1000.0, i == GetParam().first ? GetParam().second : 100});
    MinMaxReduction reduction;
    const std::vector<ChartSample>& points =
        reduction.reduce(samples, 0, samples.back().timeMs, kColumns);

    EXPECT_LE(points.size(), 2u * kColumns + 2);
    EXPECT_EQ(reduction.visibleCount(), static_cast<std::size_t>(kSamples));
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](auto& a, auto& b) { return a.timeMs < b.timeMs; }));
    const auto spike = std::find_if(points.begin(), points.end(), [this](const ChartSample& p) {
        return p.value == GetParam().second;
    });
    ASSERT_NE(spike, points.end());
    EXPECT_EQ(spike->timeMs, GetParam().first * 1000.0);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpikeTest,
                         ::testing::Values(std::pair(0, 5000), std::pair(1, -5000),
                                           std::pair(125007, 99999), std::pair(83333, -1),
                                           std::pair(249999, 101)));

TEST(MinMaxReductionTest, KeepsOneNeighbourOnEachSideAndCopesWithAnEmptySpan) {
    std::vector<ChartSample> samples;
    for (int i = 0; i < 100; ++i)
        samples.push_back({i * 1000.0, i % 3});
    MinMaxReduction reduction;
    const std::vector<ChartSample>& zoomed = reduction.reduce(samples, 10500, 20500, 1000);
    EXPECT_EQ(reduction.visibleCount(), 10u);
    ASSERT_EQ(zoomed.size(), 12u);
    EXPECT_EQ(zoomed.front().timeMs, 10000);
    EXPECT_EQ(zoomed.back().timeMs, 21000);

    const std::vector<ChartSample> sameTime = {{5000, 1}, {5000, 9}, {5000, -4}, {5000, 2}};
    const std::vector<ChartSample>& one = reduction.reduce(sameTime, 5000, 5000, 100);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].value, 9);
    EXPECT_EQ(one[1].value, -4);
}

}  // namespace
