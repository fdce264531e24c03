#include "RunnerTestSupport.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <optional>

using ::testing::ElementsAre;

namespace {

// Counter values whose draw r is 0, 1, 50 and 99.
constexpr std::uint64_t kDrawsR0 = 0x26b05733;
constexpr std::uint64_t kDrawsR1 = 0x799f0c08;
constexpr std::uint64_t kDrawsR50 = 0xa6b05733;
constexpr std::uint64_t kDrawsR99 = 0xad114b2b;
// Draws whose product lies next to a half, where double precision would round the other way.
constexpr std::uint64_t kDrawsR14 = 0xafbe3ad9;
constexpr std::uint64_t kDrawsR59 = 0x9114b2b0;
constexpr std::uint64_t kDrawsR70 = 0x215677d7;

class RandomIntervalTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        runner->InteverType = itRandom;
        runner->Start();
    }

    int drawWithCounter(std::optional<std::uint64_t> counter) {
        fake.clock.setPerformanceCounter(counter);
        runner->NextRandomInterval();
        return runner->timer->interval();
    }

    int drawWith(std::int32_t begin, std::int32_t end, std::uint64_t counter) {
        runner->fRanBegin = begin;
        runner->fRanEnd = end;
        return drawWithCounter(counter);
    }
};

struct DrawCase {
    const char* name;
    std::int32_t begin;
    std::int32_t end;
    std::uint64_t counter;
    int interval;
};

class RandomDrawTest : public RandomIntervalTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(RandomDrawTest, GivesTheInterval) {
    EXPECT_EQ(drawWith(GetParam().begin, GetParam().end, GetParam().counter), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RandomDrawTest,
    ::testing::Values(
        DrawCase{"LowestDrawIsTheLowerBound", 100, 5000, kDrawsR0, 100},
        DrawCase{"SecondDraw", 100, 5000, kDrawsR1, 149}, DrawCase{"MiddleDraw", 100, 5000, kDrawsR50, 2550},
        DrawCase{"HighestDrawStopsShortOfTheUpperBound", 100, 5000, kDrawsR99, 4951},
        DrawCase{"OnlyTheLow32BitsOfTheCounterSeed", 100, 5000, 0xABCD'0000'0000 + kDrawsR99, 4951},
        DrawCase{"CounterZero", 100, 5000, 0, 100}, DrawCase{"CounterOne", 100, 5000, 1, 247},
        DrawCase{"CounterAllOnes", 100, 5000, 0xFFFF'FFFF, 4804}, DrawCase{"EqualBounds", 700, 700, kDrawsR99, 700},
        DrawCase{"ReversedBoundsLowestDraw", 5000, 100, kDrawsR0, 5000},
        DrawCase{"ReversedBoundsHighestDraw", 5000, 100, kDrawsR99, 149},
        DrawCase{"HalfRoundsDownToEven", 0, 5, kDrawsR50, 2}, DrawCase{"HalfRoundsUpToEven", 0, 7, kDrawsR50, 4},
        DrawCase{"NegativeHalfRoundsToEven", 10, 5, kDrawsR50, 8},
        DrawCase{"ExtendedPrecisionJustBelowAHalf", 1000, 1050, kDrawsR59, 1029},
        DrawCase{"ExtendedPrecisionExactHalfUp", 1000, 1045, kDrawsR70, 1032},
        DrawCase{"ExtendedPrecisionExactHalfDown", 1000, 1075, kDrawsR14, 1010},
        DrawCase{"DrawOfZeroRunsAtOneMillisecond", 0, 5000, kDrawsR0, 1},
        DrawCase{"HalfOfOneRoundsToZeroAndRunsAtOneMillisecond", 0, 1, kDrawsR50, 1},
        DrawCase{"WidestBounds", -2147483647 - 1, 2147483647, kDrawsR99, 2104533974}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RandomIntervalTest, WithoutAPerformanceCounterTheTickCountSeeds) {
    fake.clock.setTickCount(static_cast<std::uint32_t>(kDrawsR99));
    EXPECT_EQ(drawWithCounter(std::nullopt), 4951);
}

TEST_F(RandomIntervalTest, HundredToFiveThousandStaysWithinBoundsAndReachesBothEnds) {
    int lowest = 100000;
    int highest = 0;
    for (std::uint64_t counter = 0; counter < 200'000; counter += 7) {
        const int interval = drawWith(100, 5000, counter);
        lowest = std::min(lowest, interval);
        highest = std::max(highest, interval);
    }
    EXPECT_EQ(lowest, 100);
    EXPECT_EQ(highest, 4951);
}

TEST_F(RandomIntervalTest, EditorBoundsAlwaysGiveWholeHundredthsOfTheSpan) {
    for (std::uint64_t counter = 0; counter < 20'000; ++counter) {
        const int interval = drawWith(300, 9000, counter);
        ASSERT_EQ((interval - 300) % 87, 0) << counter;
    }
}

TEST_F(RandomIntervalTest, SevenHundredToSevenHundredAlwaysWaitsSevenHundred) {
    runner->fRanBegin = 700;
    runner->fRanEnd = 700;
    fake.clock.setPerformanceCounter(12345, 777);
    runner->Start();
    fake.loop.advance(1000 + 5 * 700);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1700, 2400, 3100, 3800, 4500));
}

TEST_F(RandomIntervalTest, ReseedBeforeEveryDrawRepeatsTheSameIntervalForAStillCounter) {
    fake.clock.setPerformanceCounter(kDrawsR50);
    runner->Start();
    fake.loop.advance(1000 + 3 * 2550);
    EXPECT_THAT(leftClickTimes(), ElementsAre(3550, 6100, 8650));
}

TEST_F(RandomIntervalTest, EachClickDrawsTheNextInterval) {
    fake.clock.setPerformanceCounter(kDrawsR0);
    runner->Start();
    fake.loop.advance(1100);
    ASSERT_THAT(leftClickTimes(), ElementsAre(1100));
    fake.clock.setPerformanceCounter(kDrawsR1);
    fake.loop.advance(100);
    fake.clock.setPerformanceCounter(kDrawsR0);
    fake.loop.advance(149);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1100, 1200, 1349));
}

TEST_F(RandomIntervalTest, TheStoppingTickDrawsToo) {
    runner->stopType = spRepeat;
    runner->fRepeat = 1;
    fake.clock.setPerformanceCounter(kDrawsR0);
    runner->Start();
    fake.loop.advance(1000);
    EXPECT_EQ(runner->timer->interval(), 100);
    fake.clock.setPerformanceCounter(kDrawsR99);
    fake.loop.advance(100);
    EXPECT_FALSE(runner->running);
    EXPECT_FALSE(runner->timer->enabled());
    EXPECT_EQ(runner->timer->interval(), 4951);
}

TEST_F(RandomIntervalTest, TickWithoutATargetKeepsTheInterval) {
    runner->pointType = ptColor;
    runner->fColor = "clRed";
    fake.screen.fill(0x000000);
    fake.clock.setPerformanceCounter(kDrawsR0);
    runner->Start();
    fake.loop.advance(1000);
    fake.clock.setPerformanceCounter(kDrawsR99);
    fake.loop.advance(100);
    EXPECT_EQ(runner->timer->interval(), 100);
    EXPECT_TRUE(fake.mouse.events().empty());
}

TEST_F(RandomIntervalTest, RandomDrawOfZeroStillClicksEveryMillisecond) {
    runner->fRanBegin = 0;
    runner->fRanEnd = 0;
    runner->Start();
    fake.loop.advance(1003);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1001, 1002, 1003));
}

} // namespace
