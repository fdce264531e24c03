// Two monitors on a real X server, the primary right of and below the other: the program's positions have their
// origin at the primary's top-left, so the pointer, a fixed-point click and a found colour land at root position
// primary origin + program position, and "full screen" is the primary monitor.
// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "engine/Search.h"
#include "engine/SharedScreen.h"
#include "model/ColorText.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Monitors.h"
#include "platform/x11/X11Mouse.h"
#include "platform/x11/X11Screen.h"

#include "TargetClient.h"
#include "XMonitors.h"
#include "XvfbServer.h"

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

namespace {
using Kind = ButtonRecord::Kind;

constexpr int kMonitorWidth = 800;
constexpr int kMonitorHeight = 600;
constexpr TPoint kPrimaryOrigin{800, 300};
constexpr std::uint32_t kBackground = 0x203040;
constexpr std::uint32_t kWanted = 0xFA0A05;

// The desk the program starts on: a monitor at the root's corner and the primary right of and below it.
bool setUpDesk(TargetClient& target) {
    setMonitor(target.display(), "LEFT", false, {0, 0, kMonitorWidth, kMonitorHeight});
    setMonitor(target.display(), "MAIN", true, {kPrimaryOrigin.x, kPrimaryOrigin.y, kMonitorWidth, kMonitorHeight});
    target.paint(0, 0, 2 * kMonitorWidth, kMonitorHeight + kPrimaryOrigin.y, [](int, int) { return kBackground; });
    return true;
}

class X11MonitorOriginTest : public testing::Test {
protected:
    ~X11MonitorOriginTest() override { SharedScreen().Clear(); }

    void paintWanted(TPoint root) {
        target.paint(root.x, root.y, 1, 1, [](int, int) { return kWanted; });
    }
    TPoint findWantedOnFullScreen() {
        const TSize size = screen.screenSize();
        return SearchColorBlock(screen, std::to_string(SwapRB(kWanted)), 0, 0, size.width, size.height, 100);
    }

    XvfbServer server{{.width = 2 * kMonitorWidth, .height = kMonitorHeight + kPrimaryOrigin.y}};
    TargetClient target{server.displayName()};
    bool deskSetUp = setUpDesk(target);
    std::unique_ptr<X11Connection> connection = X11Connection::open(server.displayName());
    // Shared as the backend shares it.
    std::shared_ptr<X11Monitors> monitors = std::make_shared<X11Monitors>(connection->display());
    X11Mouse mouse{connection->display(), monitors};
    X11Screen screen{connection->display(), monitors};
};

// A fixed-point click reads neither the pointer nor the screen: its move still follows a primary moved meanwhile.
TEST_F(X11MonitorOriginTest, AMoveAloneFollowsAPrimaryMovedSinceTheLastReading) {
    for (const char* name : {"LEFT", "MAIN"})
        deleteMonitor(target.display(), name);
    setMonitor(target.display(), "MOVED", true, {100, 200, kMonitorWidth, kMonitorHeight});
    mouse.setCursorPos(10, 20);
    mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
    const std::vector<ButtonRecord> expected{{Kind::Press, 1, 110, 220}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MonitorOriginTest, FullScreenIsThePrimaryMonitor) {
    EXPECT_EQ(screen.screenSize(), (TSize{kMonitorWidth, kMonitorHeight}));
}

TEST_F(X11MonitorOriginTest, PointerPositionsAreNegativeLeftOfAndAboveThePrimary) {
    const std::vector<std::pair<TPoint, TPoint>> programAndRoot{
        {{10, 20}, {810, 320}}, {{-700, -250}, {100, 50}}, {{0, 0}, {800, 300}}, {{-1, 599}, {799, 899}}};
    for (const auto& [program, root] : programAndRoot) {
        mouse.setCursorPos(program.x, program.y);
        EXPECT_EQ(mouse.cursorPos(), program) << root.x << "," << root.y;
    }
}

TEST_F(X11MonitorOriginTest, AFixedPointClickLandsAtTheOriginPlusThePoint) {
    for (const TPoint point : {TPoint{10, 20}, TPoint{-700, -250}}) {
        mouse.setCursorPos(point.x, point.y);
        mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
        mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
    }
    const std::vector<ButtonRecord> expected{{Kind::Press, 1, 810, 320},
                                             {Kind::Release, 1, 810, 320},
                                             {Kind::Press, 1, 100, 50},
                                             {Kind::Release, 1, 100, 50}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MonitorOriginTest, AColourOnThePrimaryIsFoundAtItsProgramPositionAndClickedThere) {
    paintWanted({1000, 400});
    const TPoint found = findWantedOnFullScreen();
    EXPECT_EQ(found, (TPoint{200, 100}));
    mouse.setCursorPos(found.x, found.y);
    mouse.sendButtonEvent(MouseButtonEvent::RightDown);
    const std::vector<ButtonRecord> expected{{Kind::Press, 3, 1000, 400}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}

TEST_F(X11MonitorOriginTest, TheOtherMonitorIsNotPartOfTheFullScreenButItsColoursCanBeCaptured) {
    paintWanted({50, 60});
    EXPECT_EQ(findWantedOnFullScreen(), (TPoint{-1, -1}));
    EXPECT_EQ(screen.pixelColor(50 - kPrimaryOrigin.x, 60 - kPrimaryOrigin.y), SwapRB(kWanted));
    EXPECT_EQ(screen.pixelColor(0, 0), SwapRB(kBackground));
}

// The kept copy of the screen follows drawing at program positions, and starts afresh when the primary moves.
TEST_F(X11MonitorOriginTest, DrawingIsReportedAtProgramPositionsAndAMovedPrimaryIsFollowed) {
    EXPECT_EQ(findWantedOnFullScreen(), (TPoint{-1, -1}));
    paintWanted({kPrimaryOrigin.x + 30, kPrimaryOrigin.y + 40});
    EXPECT_EQ(findWantedOnFullScreen(), (TPoint{30, 40}));

    for (const char* name : {"LEFT", "MAIN"})
        deleteMonitor(target.display(), name);
    setMonitor(target.display(), "MOVED", true, {0, 0, kMonitorWidth, kMonitorHeight});
    paintWanted({5, 6});
    EXPECT_EQ(findWantedOnFullScreen(), (TPoint{5, 6}));
    // The search read the new layout; the move goes by it.
    mouse.setCursorPos(-1, -1);
    EXPECT_EQ(mouse.cursorPos(), (TPoint{0, 0})) << "the pointer stops at the root's corner, now the origin";
}

// A tray announcing itself sends a message to whoever watches the root window: it must not stay queued, where every
// click's look at the layout would read the connection again for it.
TEST_F(X11MonitorOriginTest, MessagesToTheRootWindowDoNotStayQueued) {
    Display* display = connection->display();
    monitors->primary();
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = DefaultRootWindow(target.display());
    message.xclient.message_type = XInternAtom(target.display(), "MANAGER", False);
    message.xclient.format = 32;
    for (int sent = 0; sent < 3; ++sent)
        XSendEvent(target.display(), DefaultRootWindow(target.display()), False, StructureNotifyMask, &message);
    XSync(target.display(), False);
    XSync(display, False);
    ASSERT_EQ(XQLength(display), 3);
    EXPECT_EQ(monitors->primary(), (TRect{kPrimaryOrigin.x, kPrimaryOrigin.y, kMonitorWidth, kMonitorHeight}));
    EXPECT_EQ(XQLength(display), 0);
}
} // namespace
