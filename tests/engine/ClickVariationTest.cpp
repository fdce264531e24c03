#include "RunnerTestSupport.h"

#include <gmock/gmock.h>

#include <cmath>
#include <set>

using ::testing::ElementsAreArray;

namespace {

// A click every 10 ms from 1010 on, its random source seeded so that every run draws the same.
class ClickVariationTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        runner->iClickInterval = 10;
        runner->random.seed(20261208);
    }
    void runClicks(int clicks) {
        runner->Start();
        fake.loop.advance(1000 + 10LL * clicks);
    }
};

struct SpreadCase {
    const char* what;
    TPointType pointType;
    TPoint target;
    int radius;
    // The monitor that shows the target, where every click must land.
    TRect monitor;
};

// Many spread clicks: none farther than the radius or off the target's monitor, their mean at the target away from
// the edges, and the centre hit more often than an even spread over the circle would (half the clicks within half the
// radius, where an even spread puts a quarter).
TEST_F(ClickVariationTest, SpreadClicksStayWithinTheRadiusAndTheTargetsMonitorNearerTheCentre) {
    const SpreadCase cases[] = {
        {"a fixed point", ptFixed, {500, 400}, 20, {0, 0, 1920, 1080}},
        {"the pointer, which does not wander off", ptCurrent, {700, 300}, 15, {0, 0, 1920, 1080}},
        {"beside the next monitor", ptFixed, {1915, 1078}, 30, {0, 0, 1920, 1080}},
    };
    fake.screen.addMonitor({1920, 0, 1280, 1024});
    for (const SpreadCase& spread : cases) {
        SCOPED_TRACE(spread.what);
        fake.mouse.clearEvents();
        fake.mouse.placePointer(spread.target);
        runner->pointType = spread.pointType;
        runner->fPosX = spread.target.x;
        runner->fPosY = spread.target.y;
        runner->fJitter = spread.radius;
        runClicks(4000);
        const std::vector<FakeMouseEvent> presses = fake.mouse.buttonEvents(MouseButtonEvent::LeftDown);
        ASSERT_GE(presses.size(), 3900u);
        double sumX = 0, sumY = 0;
        std::size_t nearCentre = 0;
        for (const FakeMouseEvent& press : presses) {
            const double dx = press.pos.x - spread.target.x, dy = press.pos.y - spread.target.y;
            ASSERT_LE(dx * dx + dy * dy, spread.radius * spread.radius);
            ASSERT_GE(press.pos.x, spread.monitor.left);
            ASSERT_LT(press.pos.x, spread.monitor.left + spread.monitor.width);
            ASSERT_LT(press.pos.y, spread.monitor.top + spread.monitor.height);
            sumX += dx;
            sumY += dy;
            nearCentre += std::hypot(dx, dy) <= spread.radius / 2.0;
        }
        if (spread.target.x + spread.radius < spread.monitor.width) {
            EXPECT_NEAR(sumX / double(presses.size()), 0, 0.5);
            EXPECT_NEAR(sumY / double(presses.size()), 0, 0.5);
            EXPECT_GT(double(nearCentre) / double(presses.size()), 0.45);
        }
        runner->Stop();
    }
}

struct HoldCase {
    const char* what;
    TActionType action;
    int hold, holdTo, doubleClickTime;
    // The virtual times of the button events from the press.
    std::vector<std::int64_t> offsets;
};

// The release comes on the hold timer, the set time after its press; a double click's holds are cut to what fits the
// system's double-click time.
TEST_F(ClickVariationTest, EachPressIsHeldForItsTimeOnTheTimer) {
    const HoldCase cases[] = {
        {"released at once", atSingle, 0, 0, 500, {0, 0}},
        {"held", atSingle, 120, 0, 500, {0, 120}},
        {"a double click held", atDouble, 100, 0, 500, {0, 100, 100, 200}},
        {"a double click held too long for the system", atDouble, 400, 0, 500, {0, 225, 225, 450}},
    };
    for (const HoldCase& hold : cases) {
        SCOPED_TRACE(hold.what);
        runner = std::make_unique<TClickRunner>(fake.platform);
        fake.mouse.clearEvents();
        fake.mouse.setDoubleClickTime(hold.doubleClickTime);
        runner->iClickInterval = 1000;
        runner->actionType = hold.action;
        runner->fHoldTime = hold.hold;
        runner->fHoldTimeTo = hold.holdTo;
        runner->Start();
        fake.loop.advance(2500);
        std::vector<std::int64_t> offsets;
        for (const FakeMouseEvent& event : fake.mouse.events())
            if (event.kind == FakeMouseEvent::Kind::Button)
                offsets.push_back(event.time - firstLeftClickTime());
        EXPECT_THAT(offsets, ElementsAreArray(hold.offsets));
        runner->Stop();
        fake.loop.advance(1000);
    }
}

// A random hold lies within its bounds; a tick that comes while the button is held presses nothing, and a stop in the
// middle of a hold still releases the button.
TEST_F(ClickVariationTest, RandomHoldsStayInTheirBoundsAndAStoppedClickStillReleases) {
    runner->fHoldTime = 30;
    runner->fHoldTimeTo = 60;
    runClicks(1000);
    const std::vector<std::int64_t> downs = timesOf(MouseButtonEvent::LeftDown),
                                    ups = timesOf(MouseButtonEvent::LeftUp);
    ASSERT_GE(downs.size(), 100u);
    std::set<std::int64_t> holds;
    for (std::size_t i = 0; i < ups.size(); ++i) {
        EXPECT_GE(ups[i] - downs[i], 30);
        EXPECT_LE(ups[i] - downs[i], 60);
        holds.insert(ups[i] - downs[i]);
        if (i + 1 < downs.size()) {
            EXPECT_GE(downs[i + 1], ups[i]) << "no press while the button is held";
        }
    }
    EXPECT_GT(holds.size(), 10u);
    while (!runner->Holding())
        fake.loop.advance(1);
    runner->Stop();
    fake.loop.advance(100);
    EXPECT_FALSE(fake.mouse.isButtonDown(MouseButtonEvent::LeftDown));
}

} // namespace
