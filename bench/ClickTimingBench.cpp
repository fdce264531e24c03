// Clicks on time: a fixed-interval click on the Qt loop's precise timer, sent through the X11 backend to the target
// client on a private Xvfb. For each interval it reports the interval error between consecutive ticks (median and
// 99th percentile of its size), how far tick k lies off start + k x interval, start being when the timer was
// enabled (median and 99th percentile), the drift of the last tick, the clicks per second, and how many clicks
// reached the target.
//
// Usage: click_timing_bench [clicks at 1 ms] (the 10 ms and 100 ms runs take a tenth and a hundredth as many, at
// least 100).

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Mouse.h"
#include "ui/QtEventLoop.h"

#include "TargetClient.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Timing {
    double medianErrorMs;
    double p99ErrorMs;
    double medianLateMs;
    double p99LateMs;
    double driftMs;
    double clicksPerSecond;
    std::size_t received;
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

Timing measure(QtEventLoop& loop, IMouse& mouse, TargetClient& target, int intervalMs, int clicks) {
    target.clearEvents();
    std::vector<Clock::time_point> ticks;
    ticks.reserve(static_cast<std::size_t>(clicks));
    auto timer = loop.createTimer();
    timer->setOnTick([&] {
        ticks.push_back(Clock::now());
        mouse.sendButtonEvent(MOUSEEVENTF_LEFTDOWN);
        mouse.sendButtonEvent(MOUSEEVENTF_LEFTUP);
        if (static_cast<int>(ticks.size()) == clicks)
            timer->setEnabled(false);
    });
    timer->setInterval(intervalMs);
    const Clock::time_point start = Clock::now();
    timer->setEnabled(true);
    while (timer->enabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    target.waitForButtonEvents(2 * static_cast<std::size_t>(clicks), std::chrono::seconds(10));

    std::vector<double> errors;
    for (std::size_t k = 1; k < ticks.size(); ++k) {
        const std::chrono::duration<double, std::milli> step = ticks[k] - ticks[k - 1];
        errors.push_back(std::abs(step.count() - intervalMs));
    }
    std::vector<double> lateness;
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        const std::chrono::duration<double, std::milli> since = ticks[k] - start;
        lateness.push_back(std::abs(since.count() - intervalMs * static_cast<double>(k + 1)));
    }
    const std::chrono::duration<double, std::milli> span = ticks.back() - ticks.front();
    const std::chrono::duration<double, std::milli> last = ticks.back() - start;
    return {percentile(errors, 0.5),
            percentile(errors, 0.99),
            percentile(lateness, 0.5),
            percentile(lateness, 0.99),
            last.count() - intervalMs * static_cast<double>(clicks),
            (clicks - 1) / span.count() * 1000.0,
            target.pumpEvents().size() / 2};
}
} // namespace

int main(int argc, char** argv) {
    const int clicksAtOneMs = argc > 1 ? std::atoi(argv[1]) : 3000;
    QCoreApplication application(argc, argv);
    XvfbServer server;
    TargetClient target(server.displayName());
    auto connection = X11Connection::open(server.displayName());
    X11Mouse mouse(connection->display());
    mouse.setCursorPos(300, 200);
    QtEventLoop loop;
    loop.watchReadable(ConnectionNumber(target.display()), [&] { target.pumpEvents(); });

    std::printf("%-9s %7s %13s %13s %13s %13s %10s %10s %9s\n", "interval", "clicks", "median err", "p99 err",
                "median off", "p99 off", "drift", "clicks/s", "received");
    for (const int interval : {1, 10, 100}) {
        const int clicks = std::max(100, clicksAtOneMs / interval);
        const Timing t = measure(loop, mouse, target, interval, clicks);
        std::printf("%6d ms %7d %10.3f ms %10.3f ms %10.3f ms %10.3f ms %7.1f ms %10.1f %9zu\n", interval, clicks,
                    t.medianErrorMs, t.p99ErrorMs, t.medianLateMs, t.p99LateMs, t.driftMs, t.clicksPerSecond,
                    t.received);
    }
    return 0;
}
