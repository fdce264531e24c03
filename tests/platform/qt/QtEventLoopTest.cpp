#include "platform/qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {
class QtEventLoopTest : public testing::Test {
protected:
    static void SetUpTestSuite() { application = std::make_unique<QCoreApplication>(argc, argv); }
    static void TearDownTestSuite() { application.reset(); }

    // Runs the Qt loop until `done` holds or a generous time has passed; the assertions are on what happened.
    template <typename Predicate> bool runUntil(Predicate done) {
        const QDeadlineTimer deadline(20000);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return true;
    }

    // A timer ticking every millisecond, against which the others are watched.
    std::unique_ptr<ITimer> referenceTimer(int& ticks) {
        auto timer = loop.createTimer();
        timer->setOnTick([&ticks] { ++ticks; });
        timer->setInterval(1);
        timer->setEnabled(true);
        return timer;
    }

    static inline int argc = 1;
    static inline char name[] = "qt_event_loop_tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QCoreApplication> application;
    QtEventLoop loop;
};

TEST_F(QtEventLoopTest, ANewTimerIsDisabledWithIntervalZero) {
    const auto timer = loop.createTimer();
    EXPECT_FALSE(timer->enabled());
    EXPECT_EQ(timer->interval(), 0);
}

TEST_F(QtEventLoopTest, TicksOnlyWhenEnabledWithAPositiveInterval) {
    int zeroInterval = 0;
    int disabled = 0;
    int reference = 0;
    const auto never = loop.createTimer();
    never->setOnTick([&] { ++zeroInterval; });
    never->setEnabled(true);
    const auto off = loop.createTimer();
    off->setOnTick([&] { ++disabled; });
    off->setInterval(1);
    const auto watch = referenceTimer(reference);
    ASSERT_TRUE(runUntil([&] { return reference >= 20; }));
    EXPECT_EQ(zeroInterval, 0);
    EXPECT_EQ(disabled, 0);
    EXPECT_TRUE(never->enabled());
}

TEST_F(QtEventLoopTest, IntervalZeroStopsAnEnabledTimerAndAPositiveOneResumesIt) {
    int ticks = 0;
    int reference = 0;
    const auto timer = loop.createTimer();
    timer->setOnTick([&] { ++ticks; });
    timer->setInterval(1);
    timer->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return ticks >= 3; }));
    timer->setInterval(0);
    const int stoppedAt = ticks;
    const auto watch = referenceTimer(reference);
    ASSERT_TRUE(runUntil([&] { return reference >= 20; }));
    EXPECT_EQ(ticks, stoppedAt);
    timer->setInterval(2);
    EXPECT_TRUE(runUntil([&] { return ticks > stoppedAt; }));
}

TEST_F(QtEventLoopTest, SettingTheSameIntervalDoesNotRestartThePeriod) {
    // Were the same value a restart, the 30 ms timer, reset every millisecond, would never tick.
    int ticks = 0;
    const auto timer = loop.createTimer();
    timer->setOnTick([&] { ++ticks; });
    timer->setInterval(30);
    timer->setEnabled(true);
    const auto nudger = loop.createTimer();
    nudger->setOnTick([&] {
        timer->setInterval(30);
        timer->setEnabled(true);
    });
    nudger->setInterval(1);
    nudger->setEnabled(true);
    EXPECT_TRUE(runUntil([&] { return ticks >= 2; }));
}

TEST_F(QtEventLoopTest, AThrowingHandlerEndsOnlyItsTick) {
    int ticks = 0;
    const auto timer = loop.createTimer();
    timer->setOnTick([&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer->setInterval(1);
    timer->setEnabled(true);
    EXPECT_TRUE(runUntil([&] { return ticks >= 3; }));
}

TEST_F(QtEventLoopTest, ATimerMayBeDestroyedInsideItsOwnTick) {
    int ticks = 0;
    int reference = 0;
    auto timer = loop.createTimer();
    timer->setOnTick([&] {
        ++ticks;
        timer.reset();
    });
    timer->setInterval(1);
    timer->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return timer == nullptr; }));
    const auto watch = referenceTimer(reference);
    ASSERT_TRUE(runUntil([&] { return reference >= 10; }));
    EXPECT_EQ(ticks, 1);
}

TEST_F(QtEventLoopTest, AHandlerMayExchangeItselfAndTheNextTickRunsTheNewOne) {
    std::vector<char> seen;
    const auto timer = loop.createTimer();
    timer->setOnTick([&] {
        seen.push_back('a');
        timer->setOnTick([&] { seen.push_back('b'); });
        seen.push_back('A');
    });
    timer->setInterval(1);
    timer->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return seen.size() >= 4; }));
    EXPECT_EQ((std::vector<char>(seen.begin(), seen.begin() + 4)), (std::vector<char>{'a', 'A', 'b', 'b'}));
}

TEST_F(QtEventLoopTest, ProcessMessagesRunsPostedCallsInsideATickAndOtherTicksAfterIt) {
    int otherTicks = 0;
    bool posted = false;
    int otherTicksInside = -1;
    const auto other = loop.createTimer();
    other->setOnTick([&] { ++otherTicks; });
    other->setInterval(1);
    other->setEnabled(true);
    const auto outer = loop.createTimer();
    outer->setOnTick([&] {
        outer->setEnabled(false);
        loop.post([&] { posted = true; });
        const int before = otherTicks;
        // Pumps over several of the other timer's periods, as a slow click step does.
        for (int i = 0; i < 20; ++i) {
            loop.processMessages();
            usleep(1000);
        }
        otherTicksInside = otherTicks - before;
    });
    outer->setInterval(1);
    outer->setEnabled(true);
    ASSERT_TRUE(runUntil([&] { return !outer->enabled(); }));
    EXPECT_TRUE(posted);
    EXPECT_EQ(otherTicksInside, 0);
    const int after = otherTicks;
    EXPECT_TRUE(runUntil([&] { return otherTicks > after; }));
}

TEST_F(QtEventLoopTest, NoTickRunsInsideAnotherTicksPump) {
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    std::vector<std::unique_ptr<ITimer>> timers;
    for (int i = 0; i < 5; ++i) {
        timers.push_back(loop.createTimer());
        timers.back()->setOnTick([&] {
            deepest = std::max(deepest, ++depth);
            ++ticks;
            // Pumps for many of every timer's periods.
            for (int pump = 0; pump < 5; ++pump) {
                loop.processMessages();
                usleep(1000);
            }
            --depth;
        });
        timers.back()->setInterval(1);
        timers.back()->setEnabled(true);
    }
    ASSERT_TRUE(runUntil([&] { return ticks >= 20; }));
    EXPECT_EQ(deepest, 1);
}

TEST_F(QtEventLoopTest, TicksDueWhileATickPumpsComeAfterItFirstDueFirst) {
    std::vector<int> order;
    std::vector<std::unique_ptr<ITimer>> timers;
    const auto addTimer = [&](int id, int intervalMs, std::function<void()> extra) {
        timers.push_back(loop.createTimer());
        ITimer* timer = timers.back().get();
        timer->setOnTick([&order, id, timer, extra] {
            order.push_back(id);
            timer->setEnabled(false);
            if (extra)
                extra();
        });
        timer->setInterval(intervalMs);
        timer->setEnabled(true);
    };
    // The first tick pumps while the others fall due, the 3 ms one before the 6 ms one.
    addTimer(0, 1, [&] {
        for (int pump = 0; pump < 12; ++pump) {
            loop.processMessages();
            usleep(1000);
        }
    });
    addTimer(2, 6, nullptr);
    addTimer(1, 3, nullptr);
    ASSERT_TRUE(runUntil([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(QtEventLoopTest, ADestroyedLoopLeavesItsTimersHarmless) {
    auto ownLoop = std::make_unique<QtEventLoop>();
    auto timer = ownLoop->createTimer();
    ownLoop.reset();
    timer->setInterval(5);
    timer->setEnabled(true);
    EXPECT_TRUE(timer->enabled());
    timer.reset();
}

TEST_F(QtEventLoopTest, WatchesAFileDescriptorUntilItIsDrained) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int wakeUps = 0;
    char byte = 0;
    loop.watchReadable(fds[0], [&] {
        ++wakeUps;
        ASSERT_EQ(read(fds[0], &byte, 1), 1);
        throw std::runtime_error("a failing watch keeps watching");
    });
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    ASSERT_TRUE(runUntil([&] { return wakeUps == 1; }));
    EXPECT_EQ(byte, 'x');
    ASSERT_EQ(write(fds[1], "y", 1), 1);
    ASSERT_TRUE(runUntil([&] { return wakeUps == 2; }));
    EXPECT_EQ(byte, 'y');
    close(fds[0]);
    close(fds[1]);
}
} // namespace

// Ticks run one per round of the loop; those that were all due when the first of them ran still form one batch.
TEST_F(QtEventLoopTest, TicksDueTogetherShareABatchAndTheNextRoundHasAnother) {
    std::vector<std::uint64_t> batches;
    std::vector<std::unique_ptr<ITimer>> timers;
    for (int k = 0; k < 3; ++k) {
        timers.push_back(loop.createTimer());
        timers.back()->setOnTick([&] { batches.push_back(loop.tickBatch()); });
        timers.back()->setInterval(5);
        timers.back()->setEnabled(true);
    }
    // All three are due well before the loop runs.
    usleep(30'000);
    ASSERT_TRUE(runUntil([&] { return batches.size() >= 3; }));
    EXPECT_NE(batches[0], 0u);
    EXPECT_EQ(batches[1], batches[0]);
    EXPECT_EQ(batches[2], batches[0]);
    ASSERT_TRUE(runUntil([&] { return batches.size() >= 4; }));
    EXPECT_NE(batches[3], batches[0]);
    EXPECT_EQ(loop.tickBatch(), 0u);
}
