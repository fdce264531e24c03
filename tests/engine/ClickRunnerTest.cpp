#include "RunnerTestSupport.h"

#include <gmock/gmock.h>

#include <limits>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST_F(RunnerTest, NewRunnerIsIdleWithTheClickDefaultsAndNoTimer) {
    EXPECT_EQ(runner->count, 0);
    EXPECT_FALSE(runner->running);
    EXPECT_EQ(runner->timer, nullptr);
    EXPECT_EQ(runner->fName, "New Click");
    EXPECT_EQ(runner->iClickInterval, 1000);
}

TEST_F(RunnerTest, StartWaitsOnOneSecondTicks) {
    runner->Start();
    ASSERT_NE(runner->timer, nullptr);
    EXPECT_TRUE(runner->timer->enabled());
    EXPECT_EQ(runner->timer->interval(), 1000);
    EXPECT_TRUE(runner->running);
    EXPECT_EQ(runner->count, 0);
}

TEST_F(RunnerTest, LaterStartsReuseTheOneTimer) {
    runner->Start();
    const ITimer* timer = runner->timer.get();
    runner->Stop();
    runner->Start();
    EXPECT_EQ(runner->timer.get(), timer);
    EXPECT_EQ(fake.loop.timerCount(), 1u);
}

struct FirstClickCase {
    const char* name;
    TStartType startType;
    std::int32_t startInterval;
    std::int32_t clickInterval;
    std::int64_t firstClick;
};

class FirstClickTest : public RunnerTest, public ::testing::WithParamInterface<FirstClickCase> {};

TEST_P(FirstClickTest, ComesExactlyAtTheGivenTimeAfterStart) {
    const FirstClickCase& c = GetParam();
    runner->startType = c.startType;
    runner->fStartInterval = c.startInterval;
    runner->iClickInterval = c.clickInterval;
    fake.loop.advance(500);
    runner->Start();
    fake.loop.advance(c.firstClick - 1);
    EXPECT_THAT(leftClickTimes(), IsEmpty());
    fake.loop.advance(1);
    EXPECT_THAT(leftClickTimes(), ElementsAre(500 + c.firstClick));
    EXPECT_EQ(runner->count, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, FirstClickTest,
                         ::testing::Values(FirstClickCase{"RightNow", stNow, 10000, 250, 1250},
                                           FirstClickCase{"RightNowIgnoresTheDelay", stNow, 7, 1000, 2000},
                                           FirstClickCase{"AfterZeroSecondsAsRightNow", stAfter, 0, 250, 1250},
                                           FirstClickCase{"AfterOneSecondAsRightNow", stAfter, 1, 250, 1250},
                                           FirstClickCase{"AfterThreeSeconds", stAfter, 3, 250, 3250},
                                           FirstClickCase{"AfterOneMinute", stAfter, 60, 1, 60001}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunnerTest, WhileWaitingTheCountIsTheSecondsWaited) {
    runner->startType = stAfter;
    runner->fStartInterval = 5;
    runner->Start();
    fake.loop.advance(3999);
    EXPECT_EQ(runner->count, 3);
    EXPECT_EQ(runner->timer->interval(), 1000);
    fake.loop.advance(1001);
    EXPECT_EQ(runner->count, 0);
    EXPECT_EQ(runner->timer->interval(), 1000);
    EXPECT_TRUE(runner->running);
}

TEST_F(RunnerTest, ClicksFollowEveryIntervalAndAreCounted) {
    runner->iClickInterval = 300;
    runner->Start();
    fake.loop.advance(2000);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1300, 1600, 1900));
    EXPECT_EQ(runner->count, 3);
}

class StartAtTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        runner->startType = stAt;
        runner->iClickInterval = 100;
        fake.clock.setTimeOfDay(FakeClock::msOfDay(23, 59, 0));
    }
};

TEST_F(StartAtTest, TimeAlreadyPassedTodayStartsAtTheFirstTick) {
    runner->fStartAt = "08:00:00";
    runner->Start();
    fake.loop.advance(1100);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1100));
}

TEST_F(StartAtTest, StartsAtTheFirstTickAtOrAfterTheTime) {
    runner->fStartAt = "23:59:05";
    runner->Start();
    fake.loop.advance(4999);
    EXPECT_EQ(runner->count, 4);
    fake.loop.advance(101);
    EXPECT_THAT(leftClickTimes(), ElementsAre(5100));
}

TEST_F(StartAtTest, TimeBetweenTwoTicksStartsAtTheLaterOne) {
    fake.clock.setTimeOfDay(FakeClock::msOfDay(23, 59, 0, 400));
    runner->fStartAt = "23:59:02";
    runner->Start();
    fake.loop.advance(3100);
    EXPECT_THAT(leftClickTimes(), ElementsAre(2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3100));
}

struct StartAtTextCase {
    const char* text;
    std::int64_t firstClick; // -1: never, the text is not a time
};

class StartAtTextTest : public StartAtTest, public ::testing::WithParamInterface<StartAtTextCase> {};

TEST_P(StartAtTextTest, TextIsReadAsATimeOfDayOrKeepsTheRunnerWaiting) {
    runner->fStartAt = GetParam().text;
    runner->Start();
    fake.loop.advance(10'000);
    EXPECT_EQ(firstLeftClickTime(), GetParam().firstClick);
    EXPECT_TRUE(runner->running);
    if (GetParam().firstClick == -1) {
        EXPECT_EQ(runner->count, 10);
        EXPECT_EQ(runner->timer->interval(), 1000);
        EXPECT_EQ(droppedErrors.size(), 10u);
        EXPECT_EQ(droppedErrors.front(), "'" + std::string(GetParam().text) + "' is not a valid time");
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StartAtTextTest,
                         ::testing::Values(StartAtTextCase{"23:59:01", 1100}, StartAtTextCase{"23:59:03", 3100},
                                           StartAtTextCase{"7:5:9", 1100}, StartAtTextCase{"07:05", 1100},
                                           StartAtTextCase{" 23:59:02 ", 2100}, StartAtTextCase{"", -1},
                                           StartAtTextCase{"24:00:00", -1}, StartAtTextCase{"12:60:00", -1},
                                           StartAtTextCase{"12:00:60", -1}, StartAtTextCase{"12", -1},
                                           StartAtTextCase{"12:00:00:00", -1}, StartAtTextCase{"12:00:00pm", -1},
                                           StartAtTextCase{"-1:00:00", -1}, StartAtTextCase{"123:00:00", -1},
                                           StartAtTextCase{"ab:cd:ef", -1}, StartAtTextCase{"12::00", -1}));

TEST_F(RunnerTest, StartOnAClickingRunnerWaitsAgainAndCountsFromZero) {
    runner->iClickInterval = 100;
    runner->Start();
    fake.loop.advance(1500);
    ASSERT_EQ(runner->count, 5);
    runner->Start();
    EXPECT_EQ(runner->count, 0);
    EXPECT_EQ(runner->timer->interval(), 1000);
    fake.loop.advance(1099);
    EXPECT_EQ(leftClickTimes().size(), 5u);
    fake.loop.advance(1);
    EXPECT_EQ(leftClickTimes().back(), 2600);
    EXPECT_EQ(runner->count, 1);
}

TEST_F(RunnerTest, StopEndsClickingAndKeepsTheCountUntilTheNextStart) {
    runner->iClickInterval = 100;
    runner->Start();
    fake.loop.advance(1300);
    runner->Stop();
    EXPECT_FALSE(runner->running);
    EXPECT_FALSE(runner->timer->enabled());
    EXPECT_EQ(runner->timer->interval(), 100);
    fake.loop.advance(5000);
    EXPECT_EQ(leftClickTimes().size(), 3u);
    EXPECT_EQ(runner->count, 3);

    runner->Start();
    EXPECT_EQ(runner->count, 0);
    fake.loop.advance(1100);
    EXPECT_EQ(runner->count, 1);
}

TEST_F(RunnerTest, StopWithoutEverStartingIsHarmless) {
    runner->Stop();
    EXPECT_FALSE(runner->running);
    EXPECT_EQ(runner->timer, nullptr);
}

TEST_F(RunnerTest, RepeatOfOneClicksOnceAndStops) {
    runner->stopType = spRepeat;
    runner->fRepeat = 1;
    runner->iClickInterval = 10;
    runner->Start();
    fake.loop.advance(60'000);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1010));
    EXPECT_FALSE(runner->running);
    EXPECT_FALSE(runner->timer->enabled());
    EXPECT_EQ(runner->count, 1);
}

TEST_F(RunnerTest, RepeatStopsAfterExactlyThatManyClicks) {
    runner->stopType = spRepeat;
    runner->fRepeat = 4;
    runner->iClickInterval = 10;
    runner->Start();
    fake.loop.advance(60'000);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1010, 1020, 1030, 1040));
    EXPECT_FALSE(runner->running);
}

TEST_F(RunnerTest, FixedIntervalOfZeroClicksEveryMillisecond) {
    runner->iClickInterval = 0;
    runner->Start();
    fake.loop.advance(1003);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1001, 1002, 1003));
    EXPECT_EQ(runner->timer->interval(), 1);
}

TEST_F(RunnerTest, NegativeFixedIntervalClicksEveryMillisecond) {
    runner->iClickInterval = -5;
    runner->Start();
    fake.loop.advance(1002);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1001, 1002));
}

TEST_F(RunnerTest, TickThatThrowsLeavesTheRunnerClicking) {
    runner->pointType = ptColor;
    runner->fColor = "notAColour";
    runner->iClickInterval = 100;
    runner->Start();
    fake.loop.advance(1500);
    EXPECT_TRUE(fake.mouse.events().empty());
    EXPECT_TRUE(runner->running);
    EXPECT_TRUE(runner->timer->enabled());
    EXPECT_EQ(runner->timer->interval(), 100);
    EXPECT_EQ(runner->count, 0);
    EXPECT_EQ(droppedErrors, std::vector<std::string>(5, "'notAColour' is not a valid integer value"));
}

TEST_F(RunnerTest, DestructionReleasesTheTimer) {
    runner->Start();
    ASSERT_EQ(fake.loop.timerCount(), 1u);
    runner.reset();
    EXPECT_EQ(fake.loop.timerCount(), 0u);
    fake.loop.advance(5000);
    EXPECT_TRUE(fake.mouse.events().empty());
}

TEST_F(RunnerTest, RunnersTickSideBySideOnTheirOwnTimers) {
    TClickRunner other(fake.platform);
    other.mouseType = mtRight;
    other.iClickInterval = 250;
    runner->iClickInterval = 400;
    runner->Start();
    fake.loop.advance(100);
    other.Start();
    fake.loop.advance(1800);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1400, 1800));
    EXPECT_THAT(timesOf(MouseButtonEvent::RightDown), ElementsAre(1350, 1600, 1850));
}

TEST_F(RunnerTest, TheCountStopsAtItsTopInsteadOfOverflowing) {
    runner->iClickInterval = 1;
    runner->Start();
    fake.loop.advance(1001);
    runner->count = std::numeric_limits<std::int32_t>::max() - 1;
    fake.loop.advance(3);
    EXPECT_EQ(runner->count, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(runner->running);
}

} // namespace
