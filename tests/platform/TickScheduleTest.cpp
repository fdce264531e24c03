#include "platform/TickSchedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace std::chrono_literals;

namespace {
using Time = TickSchedule::Time;

// Runs ticks through the schedule with a handler that takes handlerCost each; delivers each tick at its due time, or
// at once when the previous handler returned after it. Returns the delivery times.
std::vector<Time> deliver(TickSchedule& schedule, Time start, int ticks, Time handlerCost) {
    std::vector<Time> times;
    Time now = start;
    for (int i = 0; i < ticks; ++i) {
        now = std::max(now, schedule.nextDue(now));
        times.push_back(now);
        schedule.delivered();
        now += handlerCost;
    }
    return times;
}

TEST(TickScheduleTest, FirstTickComesOneIntervalAfterRestart) {
    TickSchedule schedule;
    schedule.restart(Time{5ms}, 10ms);
    EXPECT_EQ(schedule.nextDue(Time{5ms}), Time{15ms});
}

TEST(TickScheduleTest, LateTicksDoNotPushLaterOnesBack) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 10ms);
    EXPECT_EQ(schedule.nextDue(0ms), Time{10ms});
    schedule.delivered(); // delivered late, at 14 ms
    EXPECT_EQ(schedule.nextDue(14ms), Time{20ms});
    schedule.delivered(); // delivered at 23 ms
    EXPECT_EQ(schedule.nextDue(23ms), Time{30ms});
    EXPECT_EQ(schedule.dropped(), 0);
}

TEST(TickScheduleTest, OneLateSlotIsDeliveredAtOnceWithoutDropping) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 10ms);
    schedule.nextDue(0ms);
    schedule.delivered();
    // The handler of the 10 ms tick returned at 25 ms: the 20 ms slot is due, nothing missed entirely.
    EXPECT_EQ(schedule.nextDue(25ms), Time{20ms});
    EXPECT_EQ(schedule.dropped(), 0);
}

TEST(TickScheduleTest, SlotsMissedWhileBusyAreDroppedNotDeliveredInABurst) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 10ms);
    schedule.nextDue(0ms);
    schedule.delivered();
    // The 10 ms tick's handler held the thread until 57 ms: slots 20, 30, 40 went by, 50 is the latest that came.
    EXPECT_EQ(schedule.nextDue(57ms), Time{50ms});
    EXPECT_EQ(schedule.dropped(), 3);
    schedule.delivered();
    EXPECT_EQ(schedule.nextDue(58ms), Time{60ms});
}

TEST(TickScheduleTest, HandlersSlowerThanTheIntervalRunBackToBackOnTheLatestSlot) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 1ms);
    const std::vector<Time> times = deliver(schedule, Time{0}, 4, Time{2500us});
    EXPECT_EQ(times, (std::vector<Time>{1ms, 3500us, 6ms, 8500us}));
    EXPECT_EQ(schedule.dropped(), 4);
}

TEST(TickScheduleTest, HandlersFasterThanTheIntervalKeepEverySlot) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 1ms);
    const std::vector<Time> times = deliver(schedule, Time{0}, 4, Time{400us});
    EXPECT_EQ(times, (std::vector<Time>{1ms, 2ms, 3ms, 4ms}));
    EXPECT_EQ(schedule.dropped(), 0);
}

TEST(TickScheduleTest, RestartForgetsTheOldScheduleAndItsDrops) {
    TickSchedule schedule;
    schedule.restart(Time{0}, 10ms);
    schedule.nextDue(100ms);
    schedule.restart(Time{100ms}, 20ms);
    EXPECT_EQ(schedule.dropped(), 0);
    EXPECT_EQ(schedule.nextDue(100ms), Time{120ms});
}
} // namespace
