#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeEventLoop.h"

#include <gtest/gtest.h>

namespace {

class FakeClockTest : public ::testing::Test {
protected:
    FakeEventLoop loop;
    FakeClock clock{loop};
};

TEST_F(FakeClockTest, StartsAtZeroAndMidnightAndRunsWithTheVirtualClock) {
    EXPECT_EQ(clock.performanceCounter(), 0u);
    EXPECT_EQ(clock.tickCount(), 0u);
    EXPECT_EQ(clock.timeOfDay(), 0.0);
    loop.advance(1500);
    EXPECT_EQ(clock.performanceCounter(), 15'000'000u);
    EXPECT_EQ(clock.tickCount(), 1500u);
    EXPECT_EQ(clock.timeOfDay(), 1500.0 / FakeClock::kMsPerDay);
}

TEST_F(FakeClockTest, PerformanceCounterCanStandStillRunAtAnyRateOrBeAbsent) {
    loop.advance(100);
    clock.setPerformanceCounter(0x1'2345'6789u);
    loop.advance(100);
    EXPECT_EQ(clock.performanceCounter(), 0x1'2345'6789u);
    clock.setPerformanceCounter(1000u, 3);
    loop.advance(10);
    EXPECT_EQ(clock.performanceCounter(), 1030u);
    clock.setPerformanceCounter(std::nullopt);
    EXPECT_FALSE(clock.performanceCounter().has_value());
}

TEST_F(FakeClockTest, TickCountWrapsAt32Bits) {
    clock.setTickCount(0xFFFF'FFF0u);
    loop.advance(0x20);
    EXPECT_EQ(clock.tickCount(), 0x10u);
}

TEST_F(FakeClockTest, TimeOfDayFollowsTheClockAndWrapsAtMidnight) {
    loop.advance(12345);
    clock.setTimeOfDay(FakeClock::msOfDay(23, 59, 59));
    EXPECT_EQ(clock.timeOfDay(), FakeClock::msOfDay(23, 59, 59) / double(FakeClock::kMsPerDay));
    loop.advance(1500);
    EXPECT_EQ(clock.timeOfDay(), 500.0 / FakeClock::kMsPerDay);
}

TEST_F(FakeClockTest, FrozenTimeOfDayStandsStill) {
    clock.setTimeOfDay(FakeClock::msOfDay(14, 5, 0), false);
    loop.advance(60'000);
    EXPECT_EQ(clock.timeOfDay(), FakeClock::msOfDay(14, 5, 0) / double(FakeClock::kMsPerDay));
}

} // namespace
