#include "platform/x11/X11Mouse.h"
#include "platform/x11/X11Connection.h"

#include "TargetClient.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {
using Kind = ButtonRecord::Kind;

class X11MouseTest : public testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    static inline std::unique_ptr<XvfbServer> server;
    TargetClient target{server->displayName()};
    std::unique_ptr<X11Connection> connection = X11Connection::open(server->displayName());
    X11Mouse mouse{connection->display()};
};

TEST(XButtonActionFor, MapsTheSixFlagsToXButtonsAndIgnoresOthers) {
    struct Case {
        std::uint32_t flag;
        std::optional<XButtonAction> expected;
    };
    const std::vector<Case> cases{{MouseButtonEvent::LeftDown, XButtonAction{1, true}},
                                  {MouseButtonEvent::LeftUp, XButtonAction{1, false}},
                                  {MouseButtonEvent::MiddleDown, XButtonAction{2, true}},
                                  {MouseButtonEvent::MiddleUp, XButtonAction{2, false}},
                                  {MouseButtonEvent::RightDown, XButtonAction{3, true}},
                                  {MouseButtonEvent::RightUp, XButtonAction{3, false}},
                                  {0x0001, std::nullopt},
                                  {MouseButtonEvent::LeftDown | MouseButtonEvent::LeftUp, std::nullopt}};
    for (const Case& c : cases) {
        const auto action = xButtonActionFor(c.flag);
        ASSERT_EQ(action.has_value(), c.expected.has_value()) << c.flag;
        if (action) {
            EXPECT_EQ(action->button, c.expected->button) << c.flag;
            EXPECT_EQ(action->press, c.expected->press) << c.flag;
        }
    }
}

TEST_F(X11MouseTest, MovesThePointerAndReadsItBack) {
    mouse.setCursorPos(321, 123);
    EXPECT_EQ(mouse.cursorPos(), (TPoint{321, 123}));
}

TEST_F(X11MouseTest, RightDoubleClickAtAFixedPointThenBackClickAtTheOrigin) {
    mouse.setCursorPos(40, 50);
    const TPoint origin = mouse.cursorPos();
    // The double click held back and sent in one go, as the click step sends a click.
    mouse.holdEvents();
    mouse.setCursorPos(300, 200);
    for (int i = 0; i < 2; ++i) {
        mouse.sendButtonEvent(MouseButtonEvent::RightDown);
        mouse.sendButtonEvent(MouseButtonEvent::RightUp);
    }
    mouse.sendHeld();
    mouse.setCursorPos(origin.x, origin.y);
    mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
    mouse.sendButtonEvent(MouseButtonEvent::LeftUp);

    const std::vector<ButtonRecord> expected{{Kind::Press, 3, 300, 200}, {Kind::Release, 3, 300, 200},
                                             {Kind::Press, 3, 300, 200}, {Kind::Release, 3, 300, 200},
                                             {Kind::Press, 1, 40, 50},   {Kind::Release, 1, 40, 50}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MouseTest, DownFromOneClickAndUpFromAnotherLandWhereThePointerIs) {
    mouse.setCursorPos(10, 700);
    mouse.sendButtonEvent(MouseButtonEvent::MiddleDown);
    mouse.setCursorPos(1000, 20);
    mouse.sendButtonEvent(MouseButtonEvent::MiddleUp);

    const std::vector<ButtonRecord> expected{{Kind::Press, 2, 10, 700}, {Kind::Release, 2, 1000, 20}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MouseTest, PointsOffTheScreenEndAtItsEdge) {
    mouse.setCursorPos(-50, 5000);
    mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
    mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
    const std::vector<ButtonRecord> expected{{Kind::Press, 1, 0, 767}, {Kind::Release, 1, 0, 767}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MouseTest, UnknownFlagsSendNothing) {
    mouse.setCursorPos(5, 5);
    mouse.sendButtonEvent(0x0001);
    mouse.sendButtonEvent(0x8000);
    mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
    mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
    const std::vector<ButtonRecord> expected{{Kind::Press, 1, 5, 5}, {Kind::Release, 1, 5, 5}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}
} // namespace
