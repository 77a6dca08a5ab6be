#include "chart/MinMaxReduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kSamples = 250000;
constexpr int kColumns = 800;

std::vector<ChartSample> flatSeries(int count, int value) {
    std::vector<ChartSample> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[i] = {i * 1000.0, value};
    return samples;
}

bool sortedByTime(const std::vector<ChartSample>& points) {
    return std::is_sorted(
        points.begin(), points.end(),
        [](const ChartSample& a, const ChartSample& b) { return a.timeMs < b.timeMs; });
}

struct SpikeCase {
    int index;
    int value;
};

class SpikeTest : public ::testing::TestWithParam<SpikeCase> {};

TEST_P(SpikeTest, OneRecordSpikeSurvivesItsColumn) {
    std::vector<ChartSample> samples = flatSeries(kSamples, 100);
    samples[GetParam().index].value = GetParam().value;
    MinMaxReduction reduction;
    const std::vector<ChartSample>& points =
        reduction.reduce(samples, 0, samples.back().timeMs, kColumns);

    EXPECT_LE(points.size(), 2u * kColumns + 2);
    EXPECT_TRUE(sortedByTime(points));
    EXPECT_EQ(reduction.visibleCount(), static_cast<std::size_t>(kSamples));
    const auto spike = std::find_if(points.begin(), points.end(), [this](const ChartSample& p) {
        return p.value == GetParam().value;
    });
    ASSERT_NE(spike, points.end());
    EXPECT_EQ(spike->timeMs, samples[GetParam().index].timeMs);
}

INSTANTIATE_TEST_SUITE_P(Positions, SpikeTest,
                         ::testing::Values(SpikeCase{0, 5000}, SpikeCase{1, -5000},
                                           SpikeCase{kSamples / 2 + 7, 99999},
                                           SpikeCase{kSamples / 3, -1},
                                           SpikeCase{kSamples - 1, 101}));

TEST(MinMaxReductionTest, ZoomedRangeKeepsOneNeighbourOnEachSide) {
    const std::vector<ChartSample> samples = flatSeries(100, 3);
    MinMaxReduction reduction;
    const std::vector<ChartSample>& points = reduction.reduce(samples, 10500, 20500, 1000);
    EXPECT_EQ(reduction.visibleCount(), 10u);
    ASSERT_EQ(points.size(), 12u);
    EXPECT_EQ(points.front().timeMs, 10000);
    EXPECT_EQ(points.back().timeMs, 21000);
}

TEST(MinMaxReductionTest, EqualTimesShareOneColumn) {
    const std::vector<ChartSample> samples = {{5000, 1}, {5000, 9}, {5000, -4}, {5000, 2}};
    MinMaxReduction reduction;
    const std::vector<ChartSample>& points = reduction.reduce(samples, 5000, 5000, 100);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].value, 9);
    EXPECT_EQ(points[1].value, -4);
}

}  // namespace
