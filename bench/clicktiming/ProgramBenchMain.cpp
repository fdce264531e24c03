// The real program under a private 1920 x 1080 Xvfb, its clicks received by a target window that covers the screen:
// how many clicks a list of searching clicks delivers a second against how many it asks for, what each costs the
// program in processor time, how much memory it holds, and how closely one fixed click keeps a 10 ms interval.
// Prints markdown tables.
//
// Usage: program_bench [--seconds S] [--counts 1,10,40,100] [--memory-counts 100,1000] [--timing-clicks N]
//                      [--program PATH] [--only many|mix|memory|timing|ratio] [--stall-ms N] [--changing-screen 1]
//                      [--timing-interval MS] [--ratio-count N]
//   --seconds        how long each list is measured, after a second of warm-up (default 5)
//   --counts         list lengths of full-screen colour clicks at 10 ms (default 1,10,40,100)
//   --memory-counts  list lengths (four colour clicks to one picture click) for the memory figures (default 100,1000)
//   --timing-clicks  clicks of the fixed 10 ms click that are timed (default 2000)
//   --timing-interval  the fixed click's interval in ms (default 10; 1 tells what a fast click costs)
//   --program        another build of the program, to compare builds on the same machine in one run
//   --ratio-count    N fixed clicks, N full-screen colour clicks and 0.8 N colour + 0.2 N picture clicks, all at 10 ms,
//                    on an unchanging and on a changing screen: what the searching lists deliver against the fixed
//                    clicks of the same run (default 1000)
//   --changing-screen  while the clicks are counted, a pixel in the screen's corner changes every 5 ms, so that no
//                    search finds the screen unchanged since its last tick (a video or a busy desktop)
//   --stall-ms       halfway through the timed clicks, stops the program for N ms (SIGSTOP, SIGCONT) and reports the
//                    largest burst of presses and how far the last press lies off the schedule

#include "model/ClickListFile.h"
#include "model/ColorText.h"
#include "model/MouseObj.h"
#include "pixels/PixelBuffer.h"

#include "ClickTimingStats.h"
#include "PixelTestSupport.h"
#include "PressRecorder.h"
#include "ProcessUsage.h"
#include "ProgramRun.h"
#include "SearchTargets.h"
#include "XvfbServer.h"
#include "pixels/Base64.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace SearchTargets;

constexpr int kIntervalMs = 10;

struct Options {
    int seconds = 5;
    std::vector<int> counts{1, 10, 40, 100};
    std::vector<int> memoryCounts{100, 1000};
    int timingClicks = 2000;
    std::string program = TAPPORA_PROGRAM;
    std::string only;
    int stallMs = 0;
    bool changingScreen = false;
    int timingIntervalMs = kIntervalMs;
    int ratioCount = 1000;
};

struct ListShape {
    int colour = 0;
    int picture = 0;
    int fixed = 0;
    int intervalMs = kIntervalMs;
    int total() const { return colour + picture + fixed; }
};

std::unique_ptr<TMouseObj> NewClick(int k, int intervalMs) {
    auto click = std::make_unique<TMouseObj>();
    click->fName = "bench " + std::to_string(k);
    click->iClickInterval = intervalMs;
    click->startType = stNow;
    click->stopType = spCommand;
    click->ScreenType = scFull;
    return click;
}

std::string ListText(const ListShape& shape) {
    std::vector<std::unique_ptr<TMouseObj>> clicks;
    for (int k = 0; k < shape.total(); ++k) {
        auto click = NewClick(k, shape.intervalMs);
        if (k < shape.colour) {
            click->pointType = ptColor;
            click->fColor = ColorToString(static_cast<TColor>(SwapRB(BlockColour(k))));
        } else if (k < shape.colour + shape.picture) {
            click->pointType = ptPicture;
            click->fBMP = StreamToBase64(
                PixelTest::Bmp24Image(kPictureSide, kPictureSide, [k](int x, int y) { return PicturePixel(k, x, y); }));
        } else {
            click->pointType = ptFixed;
            click->fPosX = CellOf(k).left;
            click->fPosY = CellOf(k).top;
        }
        clicks.push_back(std::move(click));
    }
    std::vector<const TMouseObj*> pointers;
    for (const auto& click : clicks)
        pointers.push_back(click.get());
    return ClickListText(pointers);
}

void PaintTargets(PressRecorder& target, const ListShape& shape) {
    target.paint(0, 0, kScreenWidth, kScreenHeight, [](int, int) { return kBackground; });
    for (int k = 0; k < shape.colour; ++k)
        target.paint(CellOf(k).left, CellOf(k).top, kBlockSide, kBlockSide, [k](int, int) { return BlockColour(k); });
    for (int k = shape.colour; k < shape.colour + shape.picture; ++k) {
        const Cell cell = CellOf(k);
        target.paint(cell.left, cell.top, kPictureSide, kPictureSide,
                     [k, cell](int x, int y) { return PicturePixel(k, x - cell.left, y - cell.top); });
    }
}

struct Measure {
    std::string what;
    int intervalMs = kIntervalMs;
    int searching = 0;
    double wantedPerSecond = 0;
    double deliveredPerSecond = 0;
    double cpuPercent = 0;
    double serverCpuPercent = 0;
    double cpuMsPerClick = 0;
    double residentMb = 0;
    // How many different places were clicked: one per click of the list when every search finds its target.
    int places = 0;
    std::vector<double> pressMs;
    // When the program was let go again after a stall; 0 without one.
    double stallEndMs = 0;
};

// Runs the program on the list until the clicks have run for a second, then measures for `seconds`; with `stallMs`,
// the program is stopped for that long halfway, as a machine that stalls or a debugger does.
Measure RunList(const Options& options, const std::string& what, const ListShape& shape, int seconds, int stallMs = 0,
                bool changingScreen = false) {
    XvfbServer server({.width = kScreenWidth, .height = kScreenHeight});
    PressRecorder target(server.displayName());
    PaintTargets(target, shape);
    ProgramRun program(options.program);
    program.writeFile("tapporas.xml", ListText(shape));
    program.writeFile("TapporaConfig.xml", TopLeftSettings(true));
    program.start(server.displayName());
    if (target.waitForPresses(1, std::chrono::seconds(20)).empty())
        throw std::runtime_error(what + ": no click arrived; the program said: " + program.errorOutput());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double startMs = MonotonicMs();
    const pid_t serverPid = ChildProcessNamed("Xvfb");
    double stallEndMs = 0;
    const double startCpu = ProcessCpuMs(program.pid());
    const double startServerCpu = ProcessCpuMs(serverPid);
    if (stallMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(seconds * 500));
        kill(program.pid(), SIGSTOP);
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
        kill(program.pid(), SIGCONT);
        stallEndMs = MonotonicMs();
    }
    const double untilMs = startMs + seconds * 1000.0;
    for (int change = 0; (changingScreen || options.changingScreen) && MonotonicMs() < untilMs; ++change) {
        target.paint(kScreenWidth - 1, kScreenHeight - 1, 1, 1, [change](int, int) { return change % 2 * 0xFFFFFFu; });
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(untilMs - MonotonicMs()));
    const double endMs = MonotonicMs();
    const double endCpu = ProcessCpuMs(program.pid());
    const double endServerCpu = ProcessCpuMs(serverPid);
    Measure m;
    m.what = what;
    m.intervalMs = shape.intervalMs;
    m.stallEndMs = stallEndMs;
    m.searching = shape.colour + shape.picture;
    m.residentMb = ResidentMb(program.pid());
    std::map<std::pair<int, int>, int> places;
    for (const PressTime& press : target.waitForPresses(0, std::chrono::milliseconds(0))) {
        if (press.receivedMs >= startMs && press.receivedMs < endMs) {
            m.pressMs.push_back(press.receivedMs);
            ++places[{press.x, press.y}];
        }
    }
    m.places = static_cast<int>(places.size());
    const double elapsedS = (endMs - startMs) / 1000.0;
    m.wantedPerSecond = shape.total() * 1000.0 / shape.intervalMs;
    m.deliveredPerSecond = static_cast<double>(m.pressMs.size()) / elapsedS;
    m.cpuPercent = (endCpu - startCpu) / (endMs - startMs) * 100.0;
    m.serverCpuPercent = (endServerCpu - startServerCpu) / (endMs - startMs) * 100.0;
    m.cpuMsPerClick = m.pressMs.empty() ? 0 : (endCpu - startCpu) / static_cast<double>(m.pressMs.size());
    return m;
}

void PrintManyClicks(const std::vector<Measure>& measures) {
    std::printf("\n| Clicks at 10 ms | Wanted a second | Delivered a second | Delivered / wanted | Program CPU | "
                "CPU per click | X server CPU | Resident memory | Places clicked |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Measure& m : measures) {
        std::printf("| %s | %.0f | %.0f | %.1f %% | %.0f %% | %.3f ms | %.0f %% | %.1f MB | %d |\n", m.what.c_str(),
                    m.wantedPerSecond, m.deliveredPerSecond, m.deliveredPerSecond / m.wantedPerSecond * 100,
                    m.cpuPercent, m.cpuMsPerClick, m.serverCpuPercent, m.residentMb, m.places);
    }
    std::fflush(stdout);
}

// Each searching list beside the fixed clicks of the same run, on an unchanging and on a changing screen.
void PrintRatios(const Options& options) {
    const int n = options.ratioCount;
    const int pictures = n / 5;
    std::printf("\n| %d clicks at 10 ms | Screen | Delivered a second | / fixed clicks | Program CPU | CPU per click | "
                "X server CPU |\n|---|---|---:|---:|---:|---:|---:|\n",
                n);
    for (const bool changing : {false, true}) {
        const char* screen = changing ? "changing every 5 ms" : "unchanging";
        const std::pair<std::string, ListShape> lists[] = {
            {"fixed", {0, 0, n}},
            {"colour", {n, 0, 0}},
            {std::to_string(n - pictures) + " colour + " + std::to_string(pictures) + " picture",
             {n - pictures, pictures, 0}}};
        double fixed = 0;
        for (const auto& [what, shape] : lists) {
            const Measure m = RunList(options, what, shape, options.seconds, 0, changing);
            fixed = shape.fixed > 0 ? m.deliveredPerSecond : fixed;
            std::printf("| %s | %s | %.0f | %.1f %% | %.0f %% | %.3f ms | %.0f %% |\n", what.c_str(), screen,
                        m.deliveredPerSecond, m.deliveredPerSecond / fixed * 100, m.cpuPercent, m.cpuMsPerClick,
                        m.serverCpuPercent);
            std::fflush(stdout);
        }
    }
}

void PrintTiming(const Measure& m, int skipped) {
    std::vector<double> times(m.pressMs.begin() + std::min<std::size_t>(skipped, m.pressMs.size()), m.pressMs.end());
    const ClickTimingStats stats = ComputeClickTimingStats(times, m.intervalMs);
    std::printf("\n| One fixed click at %d ms, the real program | Clicks | Median error | p99 error | Mean interval | "
                "Clicks/s | Program CPU | CPU per click |\n|---|---:|---:|---:|---:|---:|---:|---:|\n",
                m.intervalMs);
    std::printf("| %s | %zu | %.3f ms | %.3f ms | %.3f ms | %.1f | %.1f %% | %.3f ms |\n", m.what.c_str(), stats.clicks,
                stats.medianIntervalError, stats.p99IntervalError, stats.meanInterval, stats.clicksPerSecond,
                m.cpuPercent, m.cpuMsPerClick);
    std::fflush(stdout);
}

// The median place of the presses in [fromMs, toMs) within the interval, against the first press's grid, in ms from
// the nearest slot: the same before and after a stall when the clicks keep their grid.
double MedianPhase(const std::vector<double>& pressMs, int intervalMs, double fromMs, double toMs) {
    std::vector<double> phases;
    for (const double t : pressMs) {
        if (t >= fromMs && t < toMs) {
            const double since = t - pressMs.front();
            phases.push_back(since - std::round(since / intervalMs) * intervalMs);
        }
    }
    return Percentile(phases, 50);
}

void PrintStall(const Measure& m, int stallMs) {
    const double before = MedianPhase(m.pressMs, m.intervalMs, 0, m.stallEndMs - stallMs);
    const double after = MedianPhase(m.pressMs, m.intervalMs, m.stallEndMs, 1e300);
    // A burst of made-up clicks would come right after the stall: five slots in 50 ms allow five or six presses.
    const auto rightAfter = std::count_if(m.pressMs.begin(), m.pressMs.end(),
                                          [&](double t) { return t >= m.stallEndMs && t < m.stallEndMs + 50; });
    std::printf(
        "\nThe program stopped for %d ms halfway (SIGSTOP, SIGCONT):\n\n| Interval | Largest burst | Last press "
        "off the schedule ms | Median place in the interval before / after the stall | Presses in the 50 ms "
        "after it |\n|---:|---:|---:|---:|---:|\n| %d ms | %zu | %.2f | %.2f / %.2f ms | %ld |\n",
        stallMs, m.intervalMs, LargestBurst(m.pressMs, m.intervalMs), FinalGridOffset(m.pressMs, m.intervalMs), before,
        after, static_cast<long>(rightAfter));
    std::fflush(stdout);
}

std::vector<int> ParseCounts(const std::string& text) {
    std::vector<int> counts;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        counts.push_back(std::stoi(item));
    return counts;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--seconds")
            options.seconds = std::max(1, std::stoi(value));
        else if (name == "--counts")
            options.counts = ParseCounts(value);
        else if (name == "--memory-counts")
            options.memoryCounts = ParseCounts(value);
        else if (name == "--timing-clicks")
            options.timingClicks = std::max(100, std::stoi(value));
        else if (name == "--program")
            options.program = value;
        else if (name == "--only")
            options.only = value;
        else if (name == "--changing-screen")
            options.changingScreen = value != "0";
        else if (name == "--timing-interval")
            options.timingIntervalMs = std::max(1, std::stoi(value));
        else if (name == "--ratio-count")
            options.ratioCount = std::max(5, std::stoi(value));
        else if (name == "--stall-ms")
            options.stallMs = std::max(0, std::stoi(value));
        else
            throw std::runtime_error("unknown option " + name);
    }
    return options;
}

bool Wanted(const Options& options, const char* part) {
    return options.only.empty() || options.only == part;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        XInitThreads();
        std::printf("program: %s\n", options.program.c_str());
        std::vector<Measure> measures;
        if (Wanted(options, "many")) {
            for (const int count : options.counts) {
                measures.push_back(RunList(options, std::to_string(count) + " colour", {count, 0, 0}, options.seconds));
                PrintManyClicks({measures.back()});
            }
        }
        if (Wanted(options, "mix")) {
            measures.push_back(RunList(options, "40 colour + 10 picture", {40, 10, 0}, options.seconds));
            PrintManyClicks({measures.back()});
        }
        if (Wanted(options, "memory")) {
            for (const int count : options.memoryCounts) {
                const int pictures = count / 5;
                measures.push_back(RunList(
                    options, std::to_string(count - pictures) + " colour + " + std::to_string(pictures) + " picture",
                    {count - pictures, pictures, 0}, options.seconds));
                PrintManyClicks({measures.back()});
            }
        }
        // Only when asked for: tools/run-many-clicks.sh runs them in rounds.
        if (options.only == "ratio")
            PrintRatios(options);
        if (!measures.empty()) {
            std::printf("\nAll lists:");
            PrintManyClicks(measures);
        }
        if (Wanted(options, "timing")) {
            const int skipped = 50;
            const int seconds = (options.timingClicks + skipped) * options.timingIntervalMs / 1000 + 1;
            const Measure timed =
                RunList(options, "1 fixed", {0, 0, 1, options.timingIntervalMs}, seconds, options.stallMs);
            PrintTiming(timed, skipped);
            if (options.stallMs > 0)
                PrintStall(timed, options.stallMs);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "program_bench: %s\n", error.what());
        return 1;
    }
}
