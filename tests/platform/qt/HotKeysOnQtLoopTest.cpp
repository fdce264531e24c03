// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/qt/QtEventLoop.h"
#include "platform/x11/X11HotKeys.h"

#include "XTestKeys.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <memory>
#include <vector>

namespace {
constexpr int kCtrlF2Id = 7;

class HotKeysOnQtLoop : public testing::Test {
protected:
    static void SetUpTestSuite() {
        application = std::make_unique<QCoreApplication>(argc, argv);
        server = std::make_unique<XvfbServer>();
    }
    static void TearDownTestSuite() {
        server.reset();
        application.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(hotKeys);
        loop.watchReadable(hotKeys->fileDescriptor(), [this] { hotKeys->processPendingEvents(); });
        hotKeys->setOnEventsQueued([this] { loop.post([this] { hotKeys->processPendingEvents(); }); });
        hotKeys->setOnHotKey([this](int id) { received.push_back(id); });
        ASSERT_TRUE(hotKeys->registerHotKey(kCtrlF2Id, {HotKeyModifier::Control, 2}));
    }
    void TearDown() override { XCloseDisplay(keyboard); }

    bool runUntilReceived(std::size_t count) {
        const QDeadlineTimer deadline(20000);
        while (received.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return received.size() >= count;
    }

    static inline int argc = 1;
    static inline char name[] = "x11_qt_tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QCoreApplication> application;
    static inline std::unique_ptr<XvfbServer> server;
    QtEventLoop loop;
    std::unique_ptr<X11HotKeys> hotKeys = X11HotKeys::open(server->displayName());
    Display* keyboard = XOpenDisplay(server->displayName().c_str());
    std::vector<int> received;
};

TEST_F(HotKeysOnQtLoop, APressedHotKeyReachesTheHandlerThroughTheLoop) {
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    ASSERT_TRUE(runUntilReceived(1));
    EXPECT_EQ(received, std::vector<int>{kCtrlF2Id});
}

TEST_F(HotKeysOnQtLoop, EventsReadOffTheSocketByACallStillArrive) {
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    // A round trip on the hotkey connection reads the waiting key events into Xlib's queue, after which the socket
    // no longer shows them.
    hotKeys->registerHotKey(kCtrlF2Id + 1, {HotKeyModifier::Control, 5});
    ASSERT_TRUE(runUntilReceived(1));
    EXPECT_EQ(received, std::vector<int>{kCtrlF2Id});
}
} // namespace
