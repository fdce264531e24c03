#include "platform/fake/FakeMouse.h"
#include "platform/fake/FakeEventLoop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

using Kind = FakeMouseEvent::Kind;

TEST(FakeMouseTest, RecordsMovesAndButtonEventsWithVirtualTimeAndPointerPosition) {
    FakeEventLoop loop;
    FakeMouse mouse(loop);
    mouse.setCursorPos(10, 20);
    loop.advance(5);
    mouse.sendButtonEvent(MouseButtonEvent::RightDown);
    mouse.setCursorPos(-3, 5000);
    mouse.sendButtonEvent(MouseButtonEvent::RightUp);
    EXPECT_THAT(mouse.events(), ElementsAre(FakeMouseEvent{Kind::Move, 0, {10, 20}, 0},
                                            FakeMouseEvent{Kind::Button, MouseButtonEvent::RightDown, {10, 20}, 5},
                                            FakeMouseEvent{Kind::Move, 0, {-3, 5000}, 5},
                                            FakeMouseEvent{Kind::Button, MouseButtonEvent::RightUp, {-3, 5000}, 5}));
    EXPECT_EQ(mouse.cursorPos(), (TPoint{-3, 5000}));
}

TEST(FakeMouseTest, UsersHandMovesThePointerWithoutARecord) {
    FakeEventLoop loop;
    FakeMouse mouse(loop);
    mouse.placePointer({7, 8});
    EXPECT_EQ(mouse.cursorPos(), (TPoint{7, 8}));
    EXPECT_TRUE(mouse.events().empty());
}

TEST(FakeMouseTest, TracksWhichButtonsAreHeldDown) {
    FakeEventLoop loop;
    FakeMouse mouse(loop);
    mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
    mouse.sendButtonEvent(MouseButtonEvent::MiddleDown);
    mouse.sendButtonEvent(MouseButtonEvent::MiddleUp);
    EXPECT_TRUE(mouse.isButtonDown(MouseButtonEvent::LeftDown));
    EXPECT_FALSE(mouse.isButtonDown(MouseButtonEvent::MiddleDown));
    EXPECT_FALSE(mouse.isButtonDown(MouseButtonEvent::RightDown));
    EXPECT_THAT(mouse.buttonFlags(),
                ElementsAre(MouseButtonEvent::LeftDown, MouseButtonEvent::MiddleDown, MouseButtonEvent::MiddleUp));
    mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
    EXPECT_FALSE(mouse.isButtonDown(MouseButtonEvent::LeftDown));
}

} // namespace
