#include "chart/RecordSeries.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

DetectorRecord record(const char* time, int value) {
    DetectorRecord r{};
    std::snprintf(r.timeText, sizeof r.timeText, "%s", time);
    r.value = value;
    return r;
}

struct TimeCase {
    const char* text;
    bool valid;
    double seconds;
};

class RecordTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(RecordTimeTest, ParsesValidDateTimesOnly) {
    double ms = -1;
    EXPECT_EQ(parseRecordTime(GetParam().text, ms), GetParam().valid) << GetParam().text;
    if (GetParam().valid) {
        EXPECT_EQ(ms, GetParam().seconds * 1000.0) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecordTimeTest,
    ::testing::Values(
        TimeCase{"1970-01-01 00:00:00", true, 0}, TimeCase{"2024-01-02 03:04:05", true, 1704164645},
        TimeCase{"2024-02-29 12:00:00", true, 1709208000},
        TimeCase{"2000-03-01 00:00:00", true, 951868800},
        TimeCase{"2255-12-31 23:59:59", true, 9025257599},
        TimeCase{"2023-02-29 00:00:00", false, 0}, TimeCase{"2024-13-01 00:00:00", false, 0},
        TimeCase{"2024-04-31 00:00:00", false, 0}, TimeCase{"2024-01-00 00:00:00", false, 0},
        TimeCase{"2024-01-01 24:00:00", false, 0}, TimeCase{"2024-01-01 00:60:00", false, 0},
        TimeCase{"2024-01-01 00:00:60", false, 0}, TimeCase{"2024-1-01 00:00:00", false, 0},
        TimeCase{"2024-01-01 00:00:00 ", false, 0}, TimeCase{"", false, 0}));

TEST(RecordSeriesTest, KeepsBatchesSortedByTimeWithArrivalOrderForEqualTimes) {
    const std::vector<DetectorRecord> first = {record("2024-01-01 00:00:10", 1),
                                               record("2024-01-01 00:00:30", 2)};
    const std::vector<DetectorRecord> second = {
        record("2024-01-01 00:00:40", 3), record("2024-01-01 00:00:10", 4),
        record("2024-01-01 00:00:20", 5), record("2024-01-01 00:00:00", 6)};
    RecordSeries series;
    series.append(first.data(), first.size());
    series.append(second.data(), second.size());

    std::vector<int> values;
    for (const ChartSample& sample : series.samples())
        values.push_back(sample.value);
    EXPECT_EQ(values, (std::vector<int>{6, 1, 4, 5, 2, 3}));
}

TEST(RecordSeriesTest, LeavesOutInvalidTimesAndTracksTheValueRange) {
    const std::vector<DetectorRecord> records = {record("2024-01-01 00:00:10", -7),
                                                 record("2024-13-01 00:00:00", 900),
                                                 record("2024-01-01 00:00:20", 40)};
    RecordSeries series;
    series.append(records.data(), records.size());
    EXPECT_EQ(series.samples().size(), 2u);
    EXPECT_EQ(series.skipped(), 1u);
    EXPECT_EQ(series.minValue(), -7);
    EXPECT_EQ(series.maxValue(), 40);

    series.clear();
    series.append(records.data() + 2, 1);
    EXPECT_EQ(series.minValue(), 40);
    EXPECT_EQ(series.maxValue(), 40);
    EXPECT_EQ(series.skipped(), 0u);
}

}  // namespace
