#include "platform/fake/FakeEventLoop.h"
#include "platform/ErrorGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class FakeEventLoopTest : public ::testing::Test {
protected:
    // A timer whose ticks are recorded as "name@time".
    std::unique_ptr<ITimer> recordingTimer(const std::string& name, int interval) {
        auto timer = loop.createTimer();
        timer->setInterval(interval);
        timer->setOnTick([this, name] { log.push_back(name + "@" + std::to_string(loop.now())); });
        return timer;
    }

    FakeEventLoop loop;
    std::vector<std::string> log;
};

TEST_F(FakeEventLoopTest, NewTimerIsDisabledWithIntervalZero) {
    auto timer = loop.createTimer();
    EXPECT_FALSE(timer->enabled());
    EXPECT_EQ(timer->interval(), 0);
    EXPECT_EQ(loop.timerCount(), 1u);
    EXPECT_EQ(loop.activeTimerCount(), 0u);
}

TEST_F(FakeEventLoopTest, EnabledTimerTicksEveryPeriodAtItsOwnDueTime) {
    auto timer = recordingTimer("a", 100);
    timer->setEnabled(true);
    loop.advance(350);
    EXPECT_THAT(log, ElementsAre("a@100", "a@200", "a@300"));
    EXPECT_EQ(loop.now(), 350);
}

TEST_F(FakeEventLoopTest, DisabledTimerAndIntervalZeroNeverTick) {
    auto disabled = recordingTimer("disabled", 10);
    auto zero = recordingTimer("zero", 0);
    zero->setEnabled(true);
    loop.advance(10000);
    EXPECT_THAT(log, IsEmpty());
    EXPECT_EQ(loop.activeTimerCount(), 0u);
}

struct PeriodCase {
    const char* name;
    void (*changeAt70)(ITimer&);
    std::vector<std::string> expected;
};

class FakeTimerPeriodTest : public FakeEventLoopTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(FakeTimerPeriodTest, ChangeAt70OfTimerWithPeriod100EnabledAt0) {
    auto timer = recordingTimer("t", 100);
    timer->setEnabled(true);
    loop.advance(70);
    GetParam().changeAt70(*timer);
    loop.advance(400 - 70);
    EXPECT_EQ(log, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FakeTimerPeriodTest,
    ::testing::Values(
        PeriodCase{"NewIntervalRestartsThePeriodFromNow", [](ITimer& t) { t.setInterval(200); }, {"t@270"}},
        PeriodCase{
            "SameIntervalChangesNothing", [](ITimer& t) { t.setInterval(100); }, {"t@100", "t@200", "t@300", "t@400"}},
        PeriodCase{"EnablingAnEnabledTimerChangesNothing",
                   [](ITimer& t) { t.setEnabled(true); },
                   {"t@100", "t@200", "t@300", "t@400"}},
        PeriodCase{"DisableAndEnableStartsAFreshPeriod",
                   [](ITimer& t) {
                       t.setEnabled(false);
                       t.setEnabled(true);
                   },
                   {"t@170", "t@270", "t@370"}},
        PeriodCase{"IntervalZeroStopsTicking", [](ITimer& t) { t.setInterval(0); }, {}},
        PeriodCase{"IntervalChangedWhileDisabledCountsFromEnabling",
                   [](ITimer& t) {
                       t.setEnabled(false);
                       t.setInterval(50);
                       t.setEnabled(true);
                   },
                   {"t@120", "t@170", "t@220", "t@270", "t@320", "t@370"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakeEventLoopTest, TicksFireInDueOrderAndTiesInTheOrderArmed) {
    auto slow = recordingTimer("slow", 300);
    auto second = recordingTimer("second", 100);
    auto first = recordingTimer("first", 100);
    slow->setEnabled(true);
    first->setEnabled(true);
    second->setEnabled(true);
    loop.advance(300);
    EXPECT_THAT(
        log, ElementsAre("first@100", "second@100", "first@200", "second@200", "slow@300", "first@300", "second@300"));
}

TEST_F(FakeEventLoopTest, AdvanceToThePastDoesNothing) {
    auto timer = recordingTimer("t", 100);
    timer->setEnabled(true);
    loop.advanceTo(150);
    loop.advanceTo(20);
    EXPECT_EQ(loop.now(), 150);
    EXPECT_THAT(log, ElementsAre("t@100"));
}

TEST_F(FakeEventLoopTest, ThrowingHandlerIsDroppedByTheGuardAndTheTimerGoesOn) {
    std::vector<std::string> dropped;
    setDroppedErrorObserver([&](const char* what) { dropped.emplace_back(what); });
    auto timer = loop.createTimer();
    timer->setInterval(10);
    timer->setOnTick([] { throw std::runtime_error("tick failed"); });
    timer->setEnabled(true);
    loop.advance(30);
    setDroppedErrorObserver(nullptr);
    EXPECT_THAT(dropped, ElementsAre("tick failed", "tick failed", "tick failed"));
    EXPECT_TRUE(timer->enabled());
}

TEST_F(FakeEventLoopTest, HandlerMayDestroyItsOwnTimer) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(10);
    timer->setOnTick([&] {
        ++ticks;
        timer.reset();
    });
    timer->setEnabled(true);
    loop.advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(loop.timerCount(), 0u);
}

TEST_F(FakeEventLoopTest, HandlerMayExchangeItselfAndFinishesAsItWas) {
    auto timer = loop.createTimer();
    timer->setInterval(10);
    timer->setOnTick([&] {
        timer->setOnTick([&] { log.push_back("second"); });
        log.push_back("first");
    });
    timer->setEnabled(true);
    loop.advance(30);
    EXPECT_THAT(log, ElementsAre("first", "second", "second"));
}

TEST_F(FakeEventLoopTest, PostedCallbacksRunOnlyInAPumpAndBeforeDueTicks) {
    auto timer = recordingTimer("t", 100);
    timer->setEnabled(true);
    loop.post([this] { log.push_back("posted1"); });
    loop.post([this] { log.push_back("posted2"); });
    loop.advance(100);
    EXPECT_THAT(log, ElementsAre("t@100"));
    EXPECT_EQ(loop.postedCount(), 2u);

    loop.advance(100);
    log.clear();
    loop.processMessages();
    EXPECT_THAT(log, ElementsAre("posted1", "posted2"));
    EXPECT_EQ(loop.postedCount(), 0u);
}

TEST_F(FakeEventLoopTest, PumpRunsTicksDueNowButNotLaterOnes) {
    auto timer = recordingTimer("t", 100);
    timer->setEnabled(true);
    loop.post([this] { loop.processMessages(); });
    loop.processMessages();
    EXPECT_THAT(log, IsEmpty());
}

TEST_F(FakeEventLoopTest, CallbackPostedDuringAPumpWaitsForTheNextPump) {
    loop.post([this] {
        log.push_back("outer");
        loop.post([this] { log.push_back("inner"); });
    });
    loop.processMessages();
    EXPECT_THAT(log, ElementsAre("outer"));
    loop.processMessages();
    EXPECT_THAT(log, ElementsAre("outer", "inner"));
}

TEST_F(FakeEventLoopTest, PostedCallbackRunsInsideTheTicksPump) {
    auto timer = loop.createTimer();
    timer->setInterval(100);
    timer->setOnTick([this] {
        log.push_back("tick begins");
        loop.processMessages();
        log.push_back("tick ends");
    });
    timer->setEnabled(true);
    loop.post([this] { log.push_back("command"); });
    loop.advance(100);
    EXPECT_THAT(log, ElementsAre("tick begins", "command", "tick ends"));
}

TEST_F(FakeEventLoopTest, TimePassingInsideATickFiresTheSameTimerNested) {
    auto timer = loop.createTimer();
    int depth = 0;
    timer->setInterval(5);
    timer->setOnTick([&] {
        ++depth;
        log.push_back("begin " + std::to_string(depth) + "@" + std::to_string(loop.now()));
        loop.processMessages();
        log.push_back("end " + std::to_string(depth));
        --depth;
    });
    timer->setEnabled(true);
    loop.post([this] { loop.advance(5); });
    loop.advance(5);
    EXPECT_THAT(log, ElementsAre("begin 1@5", "begin 2@10", "end 2", "end 1"));
    EXPECT_EQ(loop.now(), 10);
}

TEST_F(FakeEventLoopTest, SelfRepostingPumpIsCutOffAtTheDepthLimit) {
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        loop.post(again);
        loop.processMessages();
    };
    loop.post(again);
    loop.processMessages();
    EXPECT_EQ(runs, FakeEventLoop::kMaxPumpDepth);
    EXPECT_EQ(loop.postedCount(), 1u);
}

TEST_F(FakeEventLoopTest, TimerMayOutliveItsLoop) {
    std::unique_ptr<ITimer> timer;
    {
        FakeEventLoop shortLived;
        timer = shortLived.createTimer();
        timer->setInterval(10);
        timer->setEnabled(true);
    }
    timer->setInterval(20);
    EXPECT_TRUE(timer->enabled());
}

} // namespace

TEST_F(FakeEventLoopTest, TicksDueWhenTheFirstOfThemFiresShareABatchAndNoOtherDoes) {
    std::vector<std::pair<std::string, std::uint64_t>> batches;
    std::vector<std::unique_ptr<ITimer>> timers;
    for (const auto& [name, interval] : {std::pair{"a", 10}, {"b", 10}, {"c", 15}}) {
        timers.push_back(loop.createTimer());
        timers.back()->setInterval(interval);
        timers.back()->setOnTick([this, &batches, name = std::string(name)] {
            batches.emplace_back(name + "@" + std::to_string(loop.now()), loop.tickBatch());
        });
        timers.back()->setEnabled(true);
    }
    loop.advance(30);
    loop.stall(25); // c's slot at 45 and a's and b's at 40 and 50 pass unserved
    loop.processMessages();
    EXPECT_EQ(loop.tickBatch(), 0u);
    const std::vector<std::string> order{"a@10", "b@10", "c@15", "a@20", "b@20", "c@30",
                                         "a@30", "b@30", "a@55", "b@55", "c@55"};
    ASSERT_EQ(batches.size(), order.size());
    const std::vector<int> batchOf{0, 0, 1, 2, 2, 3, 3, 3, 4, 4, 4};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(batches[i].first, order[i]);
        EXPECT_NE(batches[i].second, 0u);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_EQ(batches[i].second == batches[j].second, batchOf[i] == batchOf[j]) << i << " " << j;
    }
}
