#include "RunnerTestSupport.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Commands that come in through a tick's pump: Delete, Stop and Start by hotkey, and the runner's own next tick.
class ClickRunnerReentryTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        probe = new ProbeRunner(fake.platform, destroyed);
        owned.reset(probe);
        probe->iClickInterval = 100;
    }
    void disposeInNextPump() {
        fake.loop.post([this] { TClickRunner::Dispose(std::move(owned)); });
    }

    bool destroyed = false;
    ProbeRunner* probe = nullptr;
    std::unique_ptr<TClickRunner> owned;
};

TEST_F(ClickRunnerReentryTest, DisposeOutsideATickDestroysAtOnce) {
    probe->Start();
    TClickRunner::Dispose(std::move(owned));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(fake.loop.timerCount(), 0u);
}

TEST_F(ClickRunnerReentryTest, DisposeOfNothingIsHarmless) {
    TClickRunner::Dispose(nullptr);
}

TEST_F(ClickRunnerReentryTest, DisposeInsideAClickTicksPumpDestroysAfterTheTickWithoutAClick) {
    probe->Start();
    fake.loop.advance(1099);
    disposeInNextPump();
    fake.loop.advance(1);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(fake.loop.timerCount(), 0u);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    fake.loop.advance(5000);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
}

TEST_F(ClickRunnerReentryTest, DisposeInsideAWaitTicksPumpDestroysAfterTheTick) {
    probe->Start();
    disposeInNextPump();
    fake.loop.advance(1000);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(fake.loop.timerCount(), 0u);
    fake.loop.advance(5000);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
}

TEST_F(ClickRunnerReentryTest, DisposeInsideTheFixedPointsSecondPump) {
    probe->pointType = ptFixed;
    probe->Start();
    fake.loop.advance(1099);
    fake.loop.post([this] { disposeInNextPump(); });
    fake.loop.advance(1);
    EXPECT_TRUE(destroyed);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
}

TEST_F(ClickRunnerReentryTest, DisposeInsideTheNotFoundPump) {
    probe->pointType = ptColor;
    probe->fColor = "clRed";
    probe->Start();
    fake.loop.advance(1099);
    fake.loop.post([this] { disposeInNextPump(); });
    fake.loop.advance(1);
    EXPECT_TRUE(destroyed);
}

TEST_F(ClickRunnerReentryTest, SameRunnersNextTickRunsNestedInsideItsPump) {
    probe->iClickInterval = 1;
    probe->Start();
    fake.loop.advance(1000);
    fake.loop.post([this] { fake.loop.advance(1); });
    fake.loop.advance(1);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1002, 1002));
    EXPECT_EQ(fake.mouse.buttonEvents(MouseButtonEvent::LeftDown).size(), 2u);
    EXPECT_EQ(probe->count, 2);
}

TEST_F(ClickRunnerReentryTest, NestedTicksStillStopAtTheRepeatCount) {
    probe->iClickInterval = 1;
    probe->stopType = spRepeat;
    probe->fRepeat = 1;
    probe->Start();
    fake.loop.advance(1000);
    fake.loop.post([this] { fake.loop.advance(1); });
    fake.loop.advance(1);
    EXPECT_THAT(leftClickTimes(), ElementsAre(1002));
    EXPECT_EQ(probe->count, 1);
    EXPECT_FALSE(probe->running);
}

TEST_F(ClickRunnerReentryTest, DisposeInsideANestedTickWaitsForTheOutermostTick) {
    probe->iClickInterval = 1;
    probe->Start();
    fake.loop.advance(1000);
    fake.loop.post([this] {
        disposeInNextPump();
        fake.loop.advance(1);
        EXPECT_FALSE(destroyed);
    });
    fake.loop.advance(1);
    EXPECT_TRUE(destroyed);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
}

TEST_F(ClickRunnerReentryTest, StopInsideAClickTicksPumpPreventsItsClick) {
    probe->Start();
    fake.loop.advance(1099);
    fake.loop.post([this] { probe->Stop(); });
    fake.loop.advance(1);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(probe->count, 0);
}

TEST_F(ClickRunnerReentryTest, StopInsideAWaitTicksPumpKeepsTheRunnerStopped) {
    probe->Start();
    fake.loop.post([this] { probe->Stop(); });
    fake.loop.advance(10'000);
    EXPECT_FALSE(probe->running);
    EXPECT_FALSE(probe->timer->enabled());
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
}

TEST_F(ClickRunnerReentryTest, StartInsideARandomClickTicksPumpLeavesTheRunnerWaiting) {
    probe->InteverType = itRandom;
    probe->Start();
    fake.loop.advance(1000);
    const int interval = probe->timer->interval();
    fake.loop.advance(interval - 1);
    fake.loop.post([this] { probe->Start(); });
    fake.loop.advance(1);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(probe->count, 0);
    EXPECT_EQ(probe->timer->interval(), 1000);
    EXPECT_TRUE(probe->running);
}

TEST_F(ClickRunnerReentryTest, OtherRunnersTickInsideThePump) {
    TClickRunner other(fake.platform);
    other.mouseType = mtRight;
    other.iClickInterval = 100;
    probe->Start();
    fake.loop.advance(50);
    other.Start();
    fake.loop.advance(1049);
    fake.loop.post([this] { fake.loop.advance(50); });
    fake.loop.advance(1);
    EXPECT_THAT(fake.mouse.buttonFlags(), ElementsAre(MouseButtonEvent::RightDown, MouseButtonEvent::RightUp,
                                                      MouseButtonEvent::LeftDown, MouseButtonEvent::LeftUp));
}

} // namespace
