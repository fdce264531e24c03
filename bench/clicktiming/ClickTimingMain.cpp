// Clicks on time: a fixed-point left click every 1, 10 and 100 ms, run by a click runner on the Qt event loop with
// the X11 backend, and the same by xdotool, both timed by one click target on a private Xvfb as the presses arrive.
// Prints markdown tables.
//
// Usage: click_timing [--clicks N] [--slow-clicks N]
//   --clicks       clicks per series at 1 and 10 ms (default 3000)
//   --slow-clicks  clicks per series at 100 ms (default 300, to keep the run short)
//   --raw FOLDER   also writes each series' times, one press a line, as FOLDER/<clicker>-<interval>ms.csv
//   --stall-ms N   halfway through each runner series, stops the whole process for N ms (SIGSTOP, SIGCONT) and
//                  reports the largest burst of presses and how far the last press lies off the schedule

#include "engine/ClickRunner.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/x11/X11Backend.h"

#include "ClickTimingStats.h"
#include "PressRecorder.h"
#include "TimedMouse.h"
#include "XvfbServer.h"

#include <QCoreApplication>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kClickX = 300;
constexpr int kClickY = 200;
// How long the target waits for a missing press before a series counts as ended.
constexpr std::chrono::seconds kQuiet(3);

struct Options {
    int clicks = 3000;
    int slowClicks = 300;
    std::string rawFolder;
    int stallMs = 0;
};

struct Series {
    std::string clicker;
    int intervalMs = 0;
    int asked = 0;
    ClickTimingStats received;
    ClickTimingStats serverTimed;
    // The runner's own figures: when it sent each press, and how long the press took to reach the target.
    ClickTimingStats sent;
    double medianDeliveryMs = 0;
    double p99DeliveryMs = 0;
    // CPU time of the clicking thread per click, over the whole series.
    double cpuMsPerClick = 0;
    std::vector<PressTime> presses;
    std::vector<double> sentMs;
    // With a stall: the most presses in a row less than half an interval apart, and the last press's distance from
    // the schedule of the first.
    std::size_t largestBurst = 0;
    double gridOffsetMs = 0;
};

double ThreadCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::vector<double> ReceivedMs(const std::vector<PressTime>& presses) {
    std::vector<double> times;
    for (const PressTime& press : presses)
        times.push_back(press.receivedMs);
    return times;
}

std::vector<double> ServerMs(const std::vector<PressTime>& presses) {
    std::vector<double> times;
    for (const PressTime& press : presses)
        times.push_back(static_cast<double>(press.serverMs));
    return times;
}

Series Measured(std::string clicker, int intervalMs, int asked, const std::vector<PressTime>& presses) {
    Series series;
    series.clicker = std::move(clicker);
    series.intervalMs = intervalMs;
    series.asked = asked;
    series.presses = presses;
    series.received = ComputeClickTimingStats(ReceivedMs(presses), intervalMs);
    series.serverTimed = ComputeClickTimingStats(ServerMs(presses), intervalMs);
    return series;
}

void AddDelivery(Series& series, const std::vector<double>& sentMs, const std::vector<PressTime>& presses) {
    series.sentMs = sentMs;
    series.sent = ComputeClickTimingStats(sentMs, series.intervalMs);
    std::vector<double> delivery;
    for (std::size_t k = 0; k < std::min(sentMs.size(), presses.size()); ++k)
        delivery.push_back(presses[k].receivedMs - sentMs[k]);
    series.medianDeliveryMs = Percentile(delivery, 50);
    series.p99DeliveryMs = Percentile(delivery, 99);
}

// A child process that stops this one for `stallMs` after `afterMs`, as a machine that stalls or a debugger does.
pid_t StallLater(int afterMs, int stallMs) {
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        usleep(static_cast<useconds_t>(afterMs) * 1000);
        kill(parent, SIGSTOP);
        usleep(static_cast<useconds_t>(stallMs) * 1000);
        kill(parent, SIGCONT);
        _exit(0);
    }
    return child;
}

// One runner as the list would hold it: a left single click at a fixed point, starting now, `clicks` times.
Series RunRunner(Platform& platform, TimedMouse& mouse, PressRecorder& recorder, int intervalMs, int clicks,
                 int stallMs) {
    recorder.clear();
    mouse.clear();
    TClickRunner runner(platform);
    runner.pointType = ptFixed;
    runner.fPosX = kClickX;
    runner.fPosY = kClickY;
    runner.mouseType = mtLeft;
    runner.actionType = atSingle;
    runner.startType = stNow;
    runner.stopType = spRepeat;
    runner.fRepeat = clicks;
    runner.InteverType = itFixed;
    runner.iClickInterval = intervalMs;
    const double cpuBeforeMs = ThreadCpuMs();
    // The runner waits a second before its first click.
    const pid_t staller = stallMs > 0 ? StallLater(1000 + clicks / 2 * intervalMs, stallMs) : -1;
    runner.Start();
    while (runner.running)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (staller > 0)
        waitpid(staller, nullptr, 0);
    const double cpuMs = ThreadCpuMs() - cpuBeforeMs;
    const std::vector<PressTime> presses = recorder.waitForPresses(clicks, kQuiet);
    Series series = Measured("Tappora runner", intervalMs, clicks, presses);
    AddDelivery(series, mouse.pressesSentMs(), presses);
    series.cpuMsPerClick = cpuMs / clicks;
    series.largestBurst = LargestBurst(ReceivedMs(presses), intervalMs);
    series.gridOffsetMs = FinalGridOffset(ReceivedMs(presses), intervalMs);
    return series;
}

Series RunXdotool(const std::string& displayName, PressRecorder& recorder, int intervalMs, int clicks) {
    recorder.clear();
    const std::string command = "DISPLAY=" + displayName + " xdotool click --repeat " + std::to_string(clicks) +
                                " --delay " + std::to_string(intervalMs) + " 1";
    if (std::system(command.c_str()) != 0)
        std::cerr << "xdotool failed: " << command << '\n';
    return Measured("xdotool", intervalMs, clicks, recorder.waitForPresses(clicks, kQuiet));
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Clicks(const Series& series) {
    const std::size_t got = series.received.clicks;
    return std::to_string(got) +
           (got == static_cast<std::size_t>(series.asked) ? "" : " of " + std::to_string(series.asked));
}

void PrintReceivedTable(const std::vector<Series>& all) {
    std::cout << "| Interval | Clicker | Clicks | Median error ms | p99 error ms | Mean interval ms | Drift at end ms "
                 "| Largest drift ms | Clicks/s |\n"
                 "|---:|---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Series& s : all) {
        const ClickTimingStats& r = s.received;
        std::cout << "| " << s.intervalMs << " ms | " << s.clicker << " | " << Clicks(s) << " | "
                  << Fixed(r.medianIntervalError, 3) << " | " << Fixed(r.p99IntervalError, 3) << " | "
                  << Fixed(r.meanInterval, 3) << " | " << Fixed(r.finalDrift, 1) << " | " << Fixed(r.maxDrift, 1)
                  << " | " << Fixed(r.clicksPerSecond, 1) << " |\n";
    }
}

void PrintServerTable(const std::vector<Series>& all) {
    std::cout << "| Interval | Clicker | Drift at end ms | Clicks/s |\n|---:|---|---:|---:|\n";
    for (const Series& s : all)
        std::cout << "| " << s.intervalMs << " ms | " << s.clicker << " | " << Fixed(s.serverTimed.finalDrift, 0)
                  << " | " << Fixed(s.serverTimed.clicksPerSecond, 1) << " |\n";
}

void PrintRunnerTable(const std::vector<Series>& all) {
    std::cout << "| Interval | Sent: median error ms | Sent: p99 error ms | Sent: drift at end ms "
                 "| Send to receipt: median ms | Send to receipt: p99 ms | CPU per click ms |\n"
                 "|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Series& s : all) {
        if (s.clicker != "Tappora runner")
            continue;
        std::cout << "| " << s.intervalMs << " ms | " << Fixed(s.sent.medianIntervalError, 3) << " | "
                  << Fixed(s.sent.p99IntervalError, 3) << " | " << Fixed(s.sent.finalDrift, 1) << " | "
                  << Fixed(s.medianDeliveryMs, 3) << " | " << Fixed(s.p99DeliveryMs, 3) << " | "
                  << Fixed(s.cpuMsPerClick, 3) << " |\n";
    }
}

// Received, server and sent times in ms, the sent column empty where the clicker's side was not timed.
void PrintStallTable(const std::vector<Series>& all, int stallMs) {
    std::cout << "\nThe runner stopped for " << stallMs
              << " ms halfway (SIGSTOP, SIGCONT):\n\n| Interval | Largest burst | Last press off the schedule ms |\n"
                 "|---:|---:|---:|\n";
    for (const Series& s : all)
        if (s.clicker == "Tappora runner")
            std::cout << "| " << s.intervalMs << " ms | " << s.largestBurst << " | " << Fixed(s.gridOffsetMs, 2)
                      << " |\n";
}

void WriteRaw(const std::string& folder, const Series& series) {
    std::string name = series.clicker;
    std::replace(name.begin(), name.end(), ' ', '-');
    std::ofstream out(folder + "/" + name + "-" + std::to_string(series.intervalMs) + "ms.csv");
    out << "received_ms,server_ms,sent_ms\n" << std::fixed << std::setprecision(4);
    for (std::size_t k = 0; k < series.presses.size(); ++k) {
        out << series.presses[k].receivedMs << ',' << series.presses[k].serverMs << ',';
        if (k < series.sentMs.size())
            out << series.sentMs[k];
        out << '\n';
    }
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* value = argv[i + 1];
        if (std::strcmp(argv[i], "--raw") == 0)
            options.rawFolder = value;
        else if (std::strcmp(argv[i], "--clicks") == 0)
            options.clicks = std::atoi(value);
        else if (std::strcmp(argv[i], "--slow-clicks") == 0)
            options.slowClicks = std::atoi(value);
        else if (std::strcmp(argv[i], "--stall-ms") == 0)
            options.stallMs = std::atoi(value);
        else
            return false;
    }
    return argc % 2 == 1 && options.clicks >= 2 && options.slowClicks >= 2;
}

int Run(int argc, char** argv, const Options& options) {
    XInitThreads();
    XvfbServer server;
    PressRecorder recorder(server.displayName());
    QCoreApplication application(argc, argv);
    const auto backend = X11Backend::open(server.displayName());
    if (!backend) {
        std::cerr << "cannot open " << server.displayName() << '\n';
        return 1;
    }
    QtEventLoop loop;
    TimedMouse mouse(backend->mouse());
    Platform platform{mouse, backend->screen(), loop, backend->clock(), backend->hotKeys()};

    std::vector<Series> all;
    for (const int intervalMs : {1, 10, 100}) {
        const int clicks = intervalMs >= 100 ? options.slowClicks : options.clicks;
        all.push_back(RunRunner(platform, mouse, recorder, intervalMs, clicks, options.stallMs));
        all.push_back(RunXdotool(server.displayName(), recorder, intervalMs, clicks));
    }
    std::cout << "Timed on receipt by the target (CLOCK_MONOTONIC):\n\n";
    PrintReceivedTable(all);
    std::cout << "\nThe same presses timed by the X server (whole ms):\n\n";
    PrintServerTable(all);
    std::cout << "\nThe runner's side: when it sent each press, and how long the press took to arrive:\n\n";
    PrintRunnerTable(all);
    if (options.stallMs > 0)
        PrintStallTable(all, options.stallMs);
    if (!options.rawFolder.empty())
        for (const Series& series : all)
            WriteRaw(options.rawFolder, series);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << "usage: click_timing [--clicks N] [--slow-clicks N] [--raw FOLDER] [--stall-ms N]"
                     "   (N of 2 or more)\n";
        return 2;
    }
    try {
        return Run(argc, argv, options);
    } catch (const std::exception& error) {
        std::cerr << "click_timing: " << error.what() << '\n';
        return 1;
    }
}
