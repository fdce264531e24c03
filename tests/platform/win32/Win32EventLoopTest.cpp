#include "platform/win32/Win32EventLoop.h"
#include "platform/ErrorGuard.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

namespace {
class Win32EventLoopTest : public ::testing::Test {
protected:
    Win32EventLoop loop;
};

TEST_F(Win32EventLoopTest, TicksArriveInsideAModalLoopThatIsNotTheProgramsOwn) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(5);
    timer->setOnTick([&] {
        // The message box's own loop delivers the ticks; the third one closes it.
        if (++ticks == 3)
            PostMessageW(FindWindowW(nullptr, L"Tappora tick test"), WM_CLOSE, 0, 0);
    });
    timer->setEnabled(true);
    MessageBoxW(nullptr, L"ticking", L"Tappora tick test", MB_OK);
    EXPECT_GE(ticks, 3);
}

TEST_F(Win32EventLoopTest, ATimerNeverTicksInsideItsOwnTick) {
    auto timer = loop.createTimer();
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    timer->setInterval(1);
    timer->setOnTick([&] {
        ++depth;
        deepest = std::max(deepest, depth);
        ++ticks;
        // Longer than several periods, pumping all the while, as a click step does.
        for (int i = 0; i < 5; ++i) {
            Sleep(2);
            loop.processMessages();
        }
        --depth;
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks >= 5; }));
    EXPECT_EQ(deepest, 1);
}

TEST_F(Win32EventLoopTest, NoTickRunsInsideAnotherTicksPumpButRightAfterIt) {
    auto slow = loop.createTimer();
    auto fast = loop.createTimer();
    int fastTicks = 0;
    int fastTicksInsideSlow = 0;
    int slowTicks = 0;
    bool insideSlow = false;
    fast->setInterval(1);
    fast->setOnTick([&] {
        ++fastTicks;
        fastTicksInsideSlow += insideSlow ? 1 : 0;
    });
    slow->setInterval(5);
    slow->setOnTick([&] {
        ++slowTicks;
        insideSlow = true;
        // A click step's pumps, over several of the fast timer's periods.
        for (int i = 0; i < 5; ++i) {
            Sleep(2);
            loop.processMessages();
        }
        insideSlow = false;
    });
    fast->setEnabled(true);
    slow->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return slowTicks >= 3 && fastTicks >= 10; }));
    EXPECT_EQ(fastTicksInsideSlow, 0);
}

TEST_F(Win32EventLoopTest, DisablingInsideTheTickStopsItAndStaleTicksAreDropped) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(1);
    timer->setOnTick([&] {
        ++ticks;
        timer->setEnabled(false);
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks == 1; }));
    pumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->enabled());
}

TEST_F(Win32EventLoopTest, ANewIntervalSetInsideTheTickTakesOver) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(20);
    // As a runner leaves its one-second waiting ticks for its click interval.
    timer->setOnTick([&] {
        ++ticks;
        timer->setInterval(1);
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks >= 20; }));
    EXPECT_EQ(timer->interval(), 1);
}

TEST_F(Win32EventLoopTest, IntervalZeroNeverTicks) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setOnTick([&] { ++ticks; });
    timer->setEnabled(true);
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(ticks, 0);
}

TEST_F(Win32EventLoopTest, ATimerDestroyedInsideItsOwnTickStopsSafely) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(1);
    timer->setOnTick([&] {
        ++ticks;
        timer.reset();
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return !timer; }));
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(ticks, 1);
}

TEST_F(Win32EventLoopTest, AThrowingHandlerEndsOnlyItsTick) {
    auto timer = loop.createTimer();
    int ticks = 0;
    int dropped = 0;
    setDroppedErrorObserver([&](const char*) { ++dropped; });
    timer->setInterval(1);
    timer->setOnTick([&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    setDroppedErrorObserver({});
    EXPECT_GE(dropped, 3);
}

TEST_F(Win32EventLoopTest, TimersOfALoopThatWentNeverTickAgain) {
    int ticks = 0;
    std::unique_ptr<ITimer> timer;
    {
        Win32EventLoop shortLived;
        timer = shortLived.createTimer();
        timer->setInterval(1);
        timer->setOnTick([&] { ++ticks; });
        timer->setEnabled(true);
    }
    pumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(ticks, 0);
}

TEST_F(Win32EventLoopTest, ProcessMessagesReturnsWhileATimerSlowerThanItsPeriodKeepsPostingTicks) {
    auto timer = loop.createTimer();
    int ticks = 0;
    timer->setInterval(1);
    timer->setOnTick([&] {
        ++ticks;
        Sleep(3);
    });
    timer->setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    for (int call = 0; call < 5; ++call) {
        const int before = ticks;
        loop.processMessages();
        // The tick pending at the call, and at most one more already on its way; never the ticks posted meanwhile.
        EXPECT_LE(ticks - before, 2);
    }
}

TEST_F(Win32EventLoopTest, ProcessMessagesLeavesQuitForTheLoopThatWaitsForIt) {
    PostQuitMessage(7);
    loop.processMessages();
    EXPECT_EQ(loop.run(), 7);
}
} // namespace
