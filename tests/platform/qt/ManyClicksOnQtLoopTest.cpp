// Many clicks started at once on the real Qt loop: each tick lets pending messages run, and the ticks that fall due
// meanwhile must wait for the outer loop rather than nest one level per click until the stack runs out.
#include "engine/ClickRunner.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeScreen.h"
#include "platform/posix/PosixClock.h"
#include "platform/qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Counts button presses; nothing else of the pointer matters here.
class CountingMouse : public IMouse {
public:
    TPoint cursorPos() override { return {}; }
    void setCursorPos(int, int) override {}
    void sendButtonEvent(std::uint32_t flag) override { presses += flag == MouseButtonEvent::LeftDown ? 1 : 0; }

    long long presses = 0;
};

// A field of /proc/self/status in kB, such as "VmRSS" or "VmHWM" (the peak resident size).
long long StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stoll(line.substr(field.size() + 1));
    }
    return -1;
}

class ManyClicksOnQtLoop : public testing::Test {
protected:
    static void SetUpTestSuite() { application = std::make_unique<QCoreApplication>(argc, argv); }
    static void TearDownTestSuite() { application.reset(); }

    // Starts `count` fixed-point clicks at once, each clicking once every millisecond until it has clicked once, and
    // runs the loop until every one has stopped by its count. False when they did not within a generous time.
    bool clickAllOnce(int count) {
        std::vector<std::unique_ptr<TClickRunner>> runners;
        runners.reserve(count);
        for (int i = 0; i < count; ++i) {
            auto runner = std::make_unique<TClickRunner>(platform);
            runner->pointType = ptFixed;
            runner->iClickInterval = 1;
            runner->stopType = spRepeat;
            runner->fRepeat = 1;
            runners.push_back(std::move(runner));
        }
        for (auto& runner : runners)
            runner->Start();
        std::size_t stopped = 0;
        const QDeadlineTimer deadline(240000);
        while (stopped < runners.size() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            while (stopped < runners.size() && !runners[stopped]->running)
                ++stopped;
        }
        for (const auto& runner : runners) {
            if (runner->running || runner->count != 1)
                return false;
        }
        return true;
    }

    static inline int argc = 1;
    static inline char name[] = "many_clicks_tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QCoreApplication> application;

    QtEventLoop loop;
    CountingMouse mouse;
    FakeScreen screen;
    PosixClock clock;
    FakeHotKeys hotKeys;
    Platform platform{mouse, screen, loop, clock, hotKeys};
};

TEST_F(ManyClicksOnQtLoop, TwoHundredThousandClicksStartedAtOnceAllClickInMemoryProportionalToTheirNumber) {
    const long long baseKb = StatusKb("VmRSS");
    constexpr int kFew = 20'000;
    constexpr int kMany = 200'000;

    ASSERT_TRUE(clickAllOnce(kFew));
    const long long fewPeakKb = StatusKb("VmHWM");
    ASSERT_TRUE(clickAllOnce(kMany));
    const long long manyPeakKb = StatusKb("VmHWM");
    EXPECT_EQ(mouse.presses, kFew + kMany);

    const double fewBytesPerClick = 1024.0 * static_cast<double>(fewPeakKb - baseKb) / kFew;
    const double manyBytesPerClick = 1024.0 * static_cast<double>(manyPeakKb - baseKb) / kMany;
    std::cout << "clicks started at once: " << kMany << ", peak resident " << manyPeakKb / 1024 << " MB ("
              << manyBytesPerClick << " bytes a click; " << fewBytesPerClick << " with " << kFew << ")\n";
    // Ticks waiting one inside another would hold a stack frame each; waiting in the queue costs a few bytes.
    EXPECT_LT(manyBytesPerClick, 1.5 * fewBytesPerClick + 256);
}

} // namespace
