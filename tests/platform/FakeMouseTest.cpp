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
    mouse.sendButtonEvent(MOUSEEVENTF_RIGHTDOWN);
    mouse.setCursorPos(-3, 5000);
    mouse.sendButtonEvent(MOUSEEVENTF_RIGHTUP);
    EXPECT_THAT(mouse.events(), ElementsAre(FakeMouseEvent{Kind::Move, 0, {10, 20}, 0},
                                            FakeMouseEvent{Kind::Button, MOUSEEVENTF_RIGHTDOWN, {10, 20}, 5},
                                            FakeMouseEvent{Kind::Move, 0, {-3, 5000}, 5},
                                            FakeMouseEvent{Kind::Button, MOUSEEVENTF_RIGHTUP, {-3, 5000}, 5}));
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
    mouse.sendButtonEvent(MOUSEEVENTF_LEFTDOWN);
    mouse.sendButtonEvent(MOUSEEVENTF_MIDDLEDOWN);
    mouse.sendButtonEvent(MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(mouse.isButtonDown(MOUSEEVENTF_LEFTDOWN));
    EXPECT_FALSE(mouse.isButtonDown(MOUSEEVENTF_MIDDLEDOWN));
    EXPECT_FALSE(mouse.isButtonDown(MOUSEEVENTF_RIGHTDOWN));
    EXPECT_THAT(mouse.buttonFlags(), ElementsAre(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP));
    mouse.sendButtonEvent(MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(mouse.isButtonDown(MOUSEEVENTF_LEFTDOWN));
}

} // namespace
