#include "ClickTimingStats.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PercentileCase {
    std::vector<double> values;
    double percent;
    double expected;
};

class PercentileTest : public testing::TestWithParam<PercentileCase> {};

TEST_P(PercentileTest, TakesTheNearestRank) {
    EXPECT_DOUBLE_EQ(Percentile(GetParam().values, GetParam().percent), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Ranks, PercentileTest,
                         testing::Values(PercentileCase{{}, 50, 0}, PercentileCase{{7}, 99, 7},
                                         PercentileCase{{4, 1, 3, 2}, 50, 2}, PercentileCase{{4, 1, 3, 2}, 51, 3},
                                         PercentileCase{{4, 1, 3, 2}, 100, 4}, PercentileCase{{4, 1, 3, 2}, 1, 1}));

TEST(ClickTimingStats, APerfectScheduleHasNoErrorAndNoDrift) {
    const ClickTimingStats stats = ComputeClickTimingStats({100, 110, 120, 130, 140}, 10);
    EXPECT_EQ(stats.clicks, 5u);
    EXPECT_DOUBLE_EQ(stats.medianIntervalError, 0);
    EXPECT_DOUBLE_EQ(stats.p99IntervalError, 0);
    EXPECT_DOUBLE_EQ(stats.meanInterval, 10);
    EXPECT_DOUBLE_EQ(stats.finalDrift, 0);
    EXPECT_DOUBLE_EQ(stats.maxDrift, 0);
    EXPECT_DOUBLE_EQ(stats.clicksPerSecond, 100);
}

// One late click that the next catches up: two of four intervals are off by 3 ms, but the schedule is kept.
TEST(ClickTimingStats, JitterAroundTheScheduleIsErrorWithoutDrift) {
    const ClickTimingStats stats = ComputeClickTimingStats({0, 10, 23, 30, 40}, 10);
    EXPECT_DOUBLE_EQ(stats.medianIntervalError, 0);
    EXPECT_DOUBLE_EQ(stats.p99IntervalError, 3);
    EXPECT_DOUBLE_EQ(stats.finalDrift, 0);
    EXPECT_DOUBLE_EQ(stats.maxDrift, 3);
}

// Every interval a little long, as with a sleep after each click: small errors that add up.
TEST(ClickTimingStats, ASteadyOverrunDrifts) {
    const ClickTimingStats stats = ComputeClickTimingStats({0, 1.5, 3, 4.5, 6}, 1);
    EXPECT_DOUBLE_EQ(stats.medianIntervalError, 0.5);
    EXPECT_DOUBLE_EQ(stats.meanInterval, 1.5);
    EXPECT_DOUBLE_EQ(stats.finalDrift, 2);
    EXPECT_DOUBLE_EQ(stats.maxDrift, 2);
    EXPECT_NEAR(stats.clicksPerSecond, 1000 / 1.5, 1e-9);
}

// Clicks that come too early count as error and as negative drift, not as zero.
TEST(ClickTimingStats, EarlyClicksGiveNegativeDrift) {
    const ClickTimingStats stats = ComputeClickTimingStats({0, 8, 16, 30}, 10);
    EXPECT_DOUBLE_EQ(stats.medianIntervalError, 2);
    EXPECT_DOUBLE_EQ(stats.maxDrift, -4);
    EXPECT_DOUBLE_EQ(stats.finalDrift, 0);
}

TEST(ClickTimingStats, FewerThanTwoPressesGiveOnlyTheCount) {
    for (const auto& times : {std::vector<double>{}, std::vector<double>{5}}) {
        const ClickTimingStats stats = ComputeClickTimingStats(times, 10);
        EXPECT_EQ(stats.clicks, times.size());
        EXPECT_DOUBLE_EQ(stats.clicksPerSecond, 0);
        EXPECT_DOUBLE_EQ(stats.finalDrift, 0);
    }
}

} // namespace

TEST(ClickTimingStats, BurstsAndTheGridAfterAStall) {
    struct Case {
        std::vector<double> times;
        double interval;
        std::size_t burst;
        double gridOffset;
    };
    const Case cases[] = {
        {{}, 10, 0, 0},
        {{0, 10, 20, 30}, 10, 1, 0},
        // A stall, one late press, then the schedule's own slots again.
        {{0, 10, 213, 220, 230}, 10, 1, 0},
        // A stall made up in a burst of presses one after another.
        {{0, 10, 213, 213.1, 213.2, 213.3, 220}, 10, 4, 0},
        // A schedule started afresh after the stall keeps the 3 ms it lost.
        {{0, 10, 213, 223, 233}, 10, 1, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LargestBurst(c.times, c.interval), c.burst);
        EXPECT_NEAR(FinalGridOffset(c.times, c.interval), c.gridOffset, 1e-9);
    }
}
