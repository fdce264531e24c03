// A click that fell behind (the program was stopped, or a search held the thread) sends one late click and then
// keeps to its schedule: no burst of make-up clicks, no drift.
#include "RunnerTestSupport.h"

#include <algorithm>

namespace {

class MissedSlotsTest : public RunnerTest {
protected:
    // Starts a fixed-point click at `intervalMs`; its clicks are due at 1000 + k x interval.
    void StartClicking(int intervalMs) {
        runner->pointType = ptFixed;
        runner->iClickInterval = intervalMs;
        runner->Start();
    }
    // Clicks at the virtual times from `from` on.
    std::vector<std::int64_t> ClicksFrom(std::int64_t from) const {
        std::vector<std::int64_t> times = leftClickTimes();
        times.erase(times.begin(), std::lower_bound(times.begin(), times.end(), from));
        return times;
    }
};

TEST_F(MissedSlotsTest, AfterAStallOneLateClickComesAndThenTheNextSlotOfTheSchedule) {
    // Times from the start; the first click is due at 1000 + interval.
    struct Case {
        int intervalMs;
        std::int64_t stallFrom;
        std::int64_t stallMs;
        std::vector<std::int64_t> clicksAfter;
    };
    const Case cases[] = {
        // The 1 ms click held from 1100 to 1300: one click at 1300, then 1301, 1302 (the schedule's own slots).
        {1, 1100, 200, {1300, 1301, 1302}},
        {10, 1105, 200, {1305, 1310, 1320}},
        // Less than one slot missed: the late click, then the schedule as before, not shifted by the delay.
        {100, 1150, 60, {1210, 1300, 1400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intervalMs);
        const std::int64_t start = fake.loop.now();
        StartClicking(c.intervalMs);
        fake.loop.advanceTo(start + c.stallFrom);
        fake.loop.stall(c.stallMs);
        const std::int64_t resumed = fake.loop.now();
        fake.loop.advanceTo(resumed + 2 * c.intervalMs);
        std::vector<std::int64_t> clicks = ClicksFrom(resumed);
        for (std::int64_t& time : clicks)
            time -= start;
        EXPECT_EQ(clicks, c.clicksAfter);
        runner->Stop();
        fake.loop.advance(10'000);
    }
}

TEST_F(MissedSlotsTest, ARepeatCountIsNotSpentInABurstAfterAStall) {
    runner->stopType = spRepeat;
    runner->fRepeat = 50;
    StartClicking(1);
    fake.loop.advanceTo(1010);
    ASSERT_EQ(runner->count, 10);
    fake.loop.stall(200);
    fake.loop.processMessages();
    EXPECT_EQ(runner->count, 11);
    fake.loop.advance(39);
    EXPECT_EQ(runner->count, 50);
    EXPECT_FALSE(runner->running);
    EXPECT_EQ(leftClickTimes().back(), 1249);
}

} // namespace
