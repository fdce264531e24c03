#include "platform/posix/PosixClock.h"

#include <gtest/gtest.h>

namespace {
std::tm at(int hour, int minute, int second) {
    std::tm when{};
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    return when;
}

TEST(PosixClock, TimeOfDayIsTheFractionOfTheDayReached) {
    EXPECT_DOUBLE_EQ(fractionOfDay(at(0, 0, 0), 0), 0.0);
    EXPECT_DOUBLE_EQ(fractionOfDay(at(12, 0, 0), 0), 0.5);
    EXPECT_DOUBLE_EQ(fractionOfDay(at(18, 0, 0), 500'000'000), (18 * 3600 + 0.5) / 86400.0);
    EXPECT_LT(fractionOfDay(at(23, 59, 59), 999'999'999), 1.0);
}

TEST(PosixClock, LeapSecondStaysBelowAWholeDay) {
    EXPECT_LT(fractionOfDay(at(23, 59, 60), 500'000'000), 1.0);
}

TEST(PosixClock, CounterAndTicksNeverGoBack) {
    PosixClock clock;
    const auto counter = clock.performanceCounter();
    ASSERT_TRUE(counter.has_value());
    EXPECT_GE(*clock.performanceCounter(), *counter);
    const double day = clock.timeOfDay();
    EXPECT_GE(day, 0.0);
    EXPECT_LT(day, 1.0);
}
} // namespace
