#include "RunnerTestSupport.h"

#include <gmock/gmock.h>

#include <cmath>

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
};

// Many spread clicks: none farther than the radius or off the target's monitor (1920 x 1080, another one right of it),
// their mean at the target away from the edges, and the centre hit more often than an even spread over the circle
// would (half the clicks within half the radius, where an even spread puts a quarter).
TEST_F(ClickVariationTest, SpreadClicksStayWithinTheRadiusAndTheTargetsMonitorNearerTheCentre) {
    // A fixed point; the pointer, which must not wander off; a fixed point beside the next monitor.
    const struct {
        TPointType pointType;
        TPoint target;
        int radius;
    } cases[] = {{ptFixed, {500, 400}, 20}, {ptCurrent, {700, 300}, 15}, {ptFixed, {1915, 1078}, 30}};
    fake.screen.addMonitor({1920, 0, 1280, 1024});
    for (const auto& spread : cases) {
        SCOPED_TRACE(spread.target.x);
        fake.mouse.clearEvents();
        fake.mouse.placePointer(spread.target);
        runner->pointType = spread.pointType;
        runner->fPosX = spread.target.x;
        runner->fPosY = spread.target.y;
        runner->fJitter = spread.radius;
        runner->Start();
        fake.loop.advance(1000 + 10 * 4000);
        runner->Stop();
        const std::vector<FakeMouseEvent> presses = fake.mouse.buttonEvents(MouseButtonEvent::LeftDown);
        ASSERT_GE(presses.size(), 3900u);
        double sumX = 0, sumY = 0, nearCentre = 0;
        for (const FakeMouseEvent& press : presses) {
            const double dx = press.pos.x - spread.target.x, dy = press.pos.y - spread.target.y;
            ASSERT_TRUE(dx * dx + dy * dy <= spread.radius * spread.radius && press.pos.x < 1920 && press.pos.y < 1080);
            sumX += dx;
            sumY += dy;
            nearCentre += std::hypot(dx, dy) <= spread.radius / 2.0;
        }
        if (spread.target.x + spread.radius < 1920) {
            EXPECT_NEAR(sumX / double(presses.size()), 0, 0.5);
            EXPECT_NEAR(sumY / double(presses.size()), 0, 0.5);
            EXPECT_GT(nearCentre / double(presses.size()), 0.45);
        }
    }
}

// The release comes on the hold timer, the set time after its press; a double click's holds are cut to what fits the
// system's double-click time (500 ms here). A random hold lies within its bounds, and a click stopped while it holds
// still releases its button.
TEST_F(ClickVariationTest, EachPressIsHeldForItsTimeOnTheTimer) {
    const struct {
        TActionType action;
        int hold;
        std::vector<std::int64_t> offsets;
    } cases[] = {{atSingle, 0, {0, 0}},
                 {atSingle, 120, {0, 120}},
                 {atDouble, 100, {0, 100, 100, 200}},
                 {atDouble, 400, {0, 225, 225, 450}}};
    fake.mouse.setDoubleClickTime(500);
    for (const auto& hold : cases) {
        SCOPED_TRACE(hold.hold);
        runner = std::make_unique<TClickRunner>(fake.platform);
        fake.mouse.clearEvents();
        runner->actionType = hold.action;
        runner->fHoldTime = hold.hold;
        runner->Start();
        fake.loop.advance(2500);
        runner->Stop();
        std::vector<std::int64_t> offsets;
        for (const FakeMouseEvent& event : fake.mouse.events())
            if (event.kind == FakeMouseEvent::Kind::Button)
                offsets.push_back(event.time - firstLeftClickTime());
        EXPECT_THAT(offsets, ElementsAreArray(hold.offsets));
        fake.loop.advance(1000);
    }
    runner->actionType = atSingle;
    runner->fHoldTime = 30;
    runner->fHoldTimeTo = 60;
    runner->Start();
    fake.loop.advance(2010);
    ASSERT_TRUE(runner->Holding());
    runner->Stop();
    fake.loop.advance(500);
    EXPECT_FALSE(fake.mouse.isButtonDown(MouseButtonEvent::LeftDown));
    const std::int64_t held = timesOf(MouseButtonEvent::LeftUp).back() - timesOf(MouseButtonEvent::LeftDown).back();
    EXPECT_TRUE(held >= 30 && held <= 60) << held;
}

// A press held at a fixed point is released there, also when another click moved the pointer meanwhile (else the
// press would become a drag).
TEST_F(ClickVariationTest, AHeldPressIsReleasedWhereItWasPressed) {
    TClickRunner other(fake.platform);
    other.pointType = runner->pointType = ptFixed;
    other.fPosX = other.fPosY = 500;
    other.mouseType = mtRight;
    runner->fHoldTime = 50;
    runner->iClickInterval = 1000;
    runner->Start();
    other.Start();
    fake.loop.advance(2100);
    const std::vector<FakeMouseEvent> releases = fake.mouse.buttonEvents(MouseButtonEvent::LeftUp);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].pos, (TPoint{0, 0}));
}

} // namespace
