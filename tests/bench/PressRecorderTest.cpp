// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "PressRecorder.h"
#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <memory>

namespace {

class PressRecorderTest : public testing::Test {
protected:
    // The recorder reads on its own thread while the test sends from this one.
    static void SetUpTestSuite() { XInitThreads(); }

    void SetUp() override { ASSERT_NE(sender, nullptr); }
    void TearDown() override {
        if (sender != nullptr)
            XCloseDisplay(sender);
    }

    void click(unsigned button, int times) {
        for (int i = 0; i < times; ++i) {
            XTestFakeButtonEvent(sender, button, True, CurrentTime);
            XTestFakeButtonEvent(sender, button, False, CurrentTime);
        }
        XSync(sender, False);
    }

    XvfbServer server;
    PressRecorder recorder{server.displayName()};
    Display* sender = XOpenDisplay(server.displayName().c_str());
};

TEST_F(PressRecorderTest, TimesEveryPressInOrderAndNoRelease) {
    click(1, 3);
    click(3, 2);
    const std::vector<PressTime> presses = recorder.waitForPresses(5, std::chrono::seconds(10));
    ASSERT_EQ(presses.size(), 5u);
    for (std::size_t k = 1; k < presses.size(); ++k) {
        EXPECT_LE(presses[k - 1].receivedMs, presses[k].receivedMs);
        EXPECT_LE(presses[k - 1].serverMs, presses[k].serverMs);
    }
    EXPECT_LE(presses.back().receivedMs, MonotonicMs());
}

TEST_F(PressRecorderTest, ClearForgetsEarlierPresses) {
    click(1, 2);
    ASSERT_EQ(recorder.waitForPresses(2, std::chrono::seconds(10)).size(), 2u);
    recorder.clear();
    click(1, 1);
    const std::vector<PressTime> presses = recorder.waitForPresses(1, std::chrono::seconds(10));
    ASSERT_EQ(presses.size(), 1u);
}

// A series that lost clicks must end with what arrived rather than wait for ever.
TEST_F(PressRecorderTest, WaitingEndsWithWhatArrivedOnceNothingMoreComes) {
    click(1, 2);
    EXPECT_EQ(recorder.waitForPresses(10, std::chrono::milliseconds(300)).size(), 2u);
}

} // namespace
