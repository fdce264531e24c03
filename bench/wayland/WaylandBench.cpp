// The real program on a private headless sway (one 1920 x 1080 output, pixman renderer), side by side in one run with
// a bare client of the same protocols (ProtocolClient.h):
//   capture  a fresh whole picture of the output through the program's screen (WaylandScreen: the frames composed,
//            then copied out with copyRect into the program's bottom-up BGR picture), against one screen copy of the
//            output into shared memory (capture_output, copy, ready); on an unchanging screen and on one whose whole
//            window changes at every frame
//   clicks   the program's fixed click at 1 ms, started by `tappora start`, its presses counted by the target window,
//            beside the bare client's virtual pointer clicking every 1 ms on an absolute schedule
//   mix      40 colour + 10 picture clicks at 10 ms: clicks made (`tappora list --json`) against what their timers
//            ask, on the unchanging and on the changing screen; and the program's processor time while nothing runs
//            (just started, after the searches stopped on either screen)
// Prints markdown tables. Every process of the session runs as the ordinary user of the Wayland tests (TestUser.h).
//
// Usage: wayland_bench [--only capture|clicks|mix] [--rounds R] [--pictures N] [--seconds S] [--idle-seconds S]
//   --rounds        rounds of the capture measures, each round all four one after the other (default 3)
//   --pictures      pictures taken by each capture measure (default 120)
//   --seconds       how long clicks are counted, after a second of warm-up (default 5)
//   --idle-seconds  how long the idle program is watched (default 10)
// `wayland_bench child ...` is the part that runs in the compositor's session, as that user.

#include "ProtocolClient.h"
#include "WaylandBenchSupport.h"

#include "ClickTimingStats.h"
#include "PixelTestSupport.h"
#include "ProcessUsage.h"
#include "ProgramOnSway.h"
#include "SearchTargets.h"
#include "SwayHeadless.h"
#include "WaylandTarget.h"

#include "model/ColorText.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "pixels/Color.h"
#include "pixels/PixelBuffer.h"
#include "platform/wayland/WaylandBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace SearchTargets;
using namespace std::chrono_literals;

namespace {

constexpr int kSearchIntervalMs = 10;
constexpr int kColourClicks = 40;
constexpr int kPictureClicks = 10;
constexpr TPoint kFixedPoint{960, 540};

struct Options {
    std::string only;
    int rounds = 3;
    int pictures = 120;
    int seconds = 5;
    int idleSeconds = 10;
};

// ---- In the compositor's session ----------------------------------------------------------------------------------

// What a capture child measured over its timed pictures.
struct CaptureRun {
    int pictures = 0;
    double wallMs = 0;
    double cpuMs = 0;
    // Pictures that held a frame the one before did not.
    int newFrames = 0;
    // Of the wall time, what went into learning what changed: the round trip and the frames taken in meanwhile.
    double askMs = 0;
};

void PrintCaptureRun(const CaptureRun& run) {
    std::printf("done %d %.3f %.3f %d %.3f\n", run.pictures, run.wallMs, run.cpuMs, run.newFrames, run.askMs);
    std::fflush(stdout);
}

// One picture taken: whether it held a new frame, and how long asking what changed took of it.
struct Picture {
    bool newFrame = false;
    double askMs = 0;
};

// Times `pictures` calls of `take` after a few unmeasured ones, telling the parent when the timing starts.
template <typename Take> CaptureRun TimePictures(int pictures, Take take) {
    for (int i = 0; i < 10; ++i)
        take();
    std::puts("timing");
    std::fflush(stdout);
    CaptureRun run{pictures};
    const double startMs = NowMs();
    const double startCpuMs = OwnCpuMs();
    for (int i = 0; i < pictures; ++i) {
        const Picture picture = take();
        run.newFrames += picture.newFrame ? 1 : 0;
        run.askMs += picture.askMs;
    }
    run.cpuMs = OwnCpuMs() - startCpuMs;
    run.wallMs = NowMs() - startMs;
    return run;
}

// One screen copy of the output after another, as the protocol gives them: every one is a frame of its own.
CaptureRun CaptureRaw(int pictures) {
    ProtocolClient client;
    return TimePictures(pictures, [&client] {
        if (!client.captureFrame())
            throw std::runtime_error("the compositor refused a screen copy");
        return Picture{true, 0};
    });
}

// A fresh picture as a search's tick takes it: the compositor asked what changed (which waits until it has handled
// everything sent before, taking in the frames that arrived), then the whole screen copied out of the composed frames
// into the program's picture.
CaptureRun CaptureThroughProgram(int pictures) {
    std::string failure;
    const std::unique_ptr<WaylandBackend> backend = WaylandBackend::open(failure);
    if (!backend)
        throw std::runtime_error(failure);
    IScreen& screen = backend->screen();
    const TSize size = screen.screenSize();
    TPixelBuffer picture;
    const CaptureRun run = TimePictures(pictures, [&] {
        const double startMs = NowMs();
        const std::optional<std::vector<TRect>> changed = screen.changedAreas();
        const double askMs = NowMs() - startMs;
        if (!picture.CaptureScreen(screen, 0, 0, size.width, size.height))
            throw std::runtime_error("the program's screen gave no picture");
        return Picture{changed && !changed->empty(), askMs};
    });
    if (picture.Pixel(CellOf(0).left, CellOf(0).top) != BlockColour(0))
        throw std::runtime_error("the program's picture does not show the target's first block");
    return run;
}

int RunChild(const std::vector<std::string>& arguments) {
    const std::string& what = arguments.at(0);
    if (what == "capture-raw") {
        PrintCaptureRun(CaptureRaw(std::stoi(arguments.at(1))));
    } else if (what == "capture-program") {
        PrintCaptureRun(CaptureThroughProgram(std::stoi(arguments.at(1))));
    } else if (what == "click-peer") {
        ProtocolClient client;
        client.clickEvery(1ms, std::stoi(arguments.at(1)), kFixedPoint.x, kFixedPoint.y, kScreenWidth, kScreenHeight);
    } else {
        throw std::runtime_error("unknown child " + what);
    }
    return 0;
}

// ---- The parent ---------------------------------------------------------------------------------------------------

WaylandScene SearchScene(const fs::path& pictures, bool animate) {
    WaylandScene scene{.output = "HEADLESS-1", .background = kBackground};
    for (int k = 0; k < kColourClicks; ++k)
        scene.rects.push_back({{CellOf(k).left, CellOf(k).top, kBlockSide, kBlockSide}, BlockColour(k)});
    scene.picture = pictures;
    scene.picturePlace = {CellOf(kColourClicks).left, CellOf(kColourClicks).top};
    scene.animate = animate;
    return scene;
}

// The pictures of the picture clicks side by side, one a cell, on the background: the target paints them as one.
fs::path WritePictureStrip(const SwayHeadless& sway) {
    const fs::path file = sway.folder() / "pictures.bmp";
    const std::vector<std::uint8_t> bmp = PixelTest::Bmp24Image(kPictureClicks * kCell, kPictureSide, [](int x, int y) {
        const int k = kColourClicks + x / kCell;
        return x % kCell < kPictureSide ? PicturePixel(k, x % kCell, y) : kBackground;
    });
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    sway.user().own(file);
    return file;
}

std::vector<TMouseObj> SearchingClicks() {
    std::vector<TMouseObj> clicks;
    for (int k = 0; k < kColourClicks + kPictureClicks; ++k) {
        TMouseObj click;
        click.fName = "search " + std::to_string(k);
        click.iClickInterval = kSearchIntervalMs;
        click.stopType = spCommand;
        click.ScreenType = scFull;
        if (k < kColourClicks) {
            click.pointType = ptColor;
            click.fColor = ColorToString(static_cast<TColor>(SwapRB(BlockColour(k))));
        } else {
            click.pointType = ptPicture;
            click.fBMP = StreamToBase64(
                PixelTest::Bmp24Image(kPictureSide, kPictureSide, [k](int x, int y) { return PicturePixel(k, x, y); }));
        }
        clicks.push_back(click);
    }
    return clicks;
}

std::vector<std::string> NamesOf(const std::vector<TMouseObj>& clicks) {
    std::vector<std::string> names;
    for (const TMouseObj& click : clicks)
        names.push_back(click.fName);
    return names;
}

constexpr const char* kProgramCapture = "the program's screen";

struct CaptureFigures {
    std::string screen;
    std::string whose;
    CaptureRun run;
    double swayCpuMs = 0;
};

CaptureFigures MeasureCapture(const SwayHeadless& sway, const std::string& screen, const std::string& mode,
                              const Options& options) {
    UserProcess child(sway.user(), sway.environment(), {SelfPath(), "child", mode, std::to_string(options.pictures)});
    const pid_t swayPid = ChildProcessNamed("sway");
    Require(child.readLine(60s) == "timing", mode + " did not start");
    const double swayStartMs = ProcessCpuMs(swayPid);
    const std::optional<std::string> done = child.readLine(300s);
    const double swayEndMs = ProcessCpuMs(swayPid);
    CaptureFigures figures;
    figures.screen = screen;
    figures.whose = mode == "capture-raw" ? "screen copy alone" : kProgramCapture;
    std::istringstream in(done.value_or(""));
    std::string word;
    Require(in >> word >> figures.run.pictures >> figures.run.wallMs >> figures.run.cpuMs >> figures.run.newFrames >>
                    figures.run.askMs &&
                word == "done",
            mode + " ended without figures");
    figures.swayCpuMs = swayEndMs - swayStartMs;
    return figures;
}

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", ms);
    return text;
}

// The figure of a program row against that of the screen copy just before it on the same screen, else nothing.
std::string AgainstScreenCopy(const std::vector<CaptureFigures>& rows, std::size_t i,
                              double (*figure)(const CaptureRun&)) {
    if (i == 0 || rows[i - 1].screen != rows[i].screen || rows[i - 1].whose == rows[i].whose ||
        figure(rows[i].run) == 0)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "**%.2fx**", figure(rows[i].run) / figure(rows[i - 1].run));
    return text;
}

double WallMsAPicture(const CaptureRun& run) {
    return run.wallMs / run.pictures;
}

double NewFramesASecond(const CaptureRun& run) {
    return run.newFrames * 1000.0 / run.wallMs;
}

void PrintCapture(const std::vector<CaptureFigures>& rows) {
    std::printf(
        "\n| Screen | Capture | Pictures | Wall time a picture | Against the screen copy | New frames a second | "
        "Against the screen copy | Asking what changed, a picture | Copying out, a picture | Asking time a "
        "new frame | Capturing process CPU a picture | sway CPU a picture |\n"
        "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CaptureRun& run = rows[i].run;
        const double askMs = run.askMs / run.pictures;
        // The screen copy's pictures are taken whole by the compositor: there is nothing to split.
        const bool split = rows[i].whose == kProgramCapture;
        std::printf("| %s | %s | %d | %s | %s | %.1f | %s | %s | %s | %s | %s | %s |\n", rows[i].screen.c_str(),
                    rows[i].whose.c_str(), run.pictures, Ms(WallMsAPicture(run)).c_str(),
                    AgainstScreenCopy(rows, i, WallMsAPicture).c_str(), NewFramesASecond(run),
                    AgainstScreenCopy(rows, i, NewFramesASecond).c_str(), split ? Ms(askMs).c_str() : "",
                    split ? Ms(WallMsAPicture(run) - askMs).c_str() : "",
                    split && run.newFrames > 0 ? Ms(run.askMs / run.newFrames).c_str() : "",
                    Ms(run.cpuMs / run.pictures).c_str(), Ms(rows[i].swayCpuMs / run.pictures).c_str());
    }
    std::fflush(stdout);
}

void BenchCapture(const SwayHeadless& sway, const Options& options) {
    std::vector<CaptureFigures> rows;
    const fs::path pictures = WritePictureStrip(sway);
    for (int round = 0; round < options.rounds; ++round) {
        for (const bool animate : {false, true}) {
            WaylandTarget target(sway, SearchScene(pictures, animate));
            target.waitReady();
            const std::string screen = animate ? "changing every frame" : "unchanging";
            rows.push_back(MeasureCapture(sway, screen, "capture-raw", options));
            rows.push_back(MeasureCapture(sway, screen, "capture-program", options));
        }
        std::printf("\nCapture, round %d of %d (load average %s):", round + 1, options.rounds, LoadAverage().c_str());
        PrintCapture({rows.end() - 4, rows.end()});
    }
}

struct ClickWindow {
    std::string who;
    double wantedPerSecond = 0;
    PressLog::Window presses;
    double seconds = 0;
    double cpuPercent = 0;
    double swayCpuPercent = 0;
};

// Presses counted for `seconds` after the first press after `sinceMs` and a second of warm-up, with the processor
// time of the clicking process and of sway meanwhile.
ClickWindow CountPresses(const PressLog& log, double sinceMs, pid_t clicker, const Options& options) {
    Require(log.waitForPressAfter(sinceMs, 20s), "no click arrived");
    std::this_thread::sleep_for(1s);
    const pid_t swayPid = ChildProcessNamed("sway");
    const double startMs = NowMs(), startCpu = ProcessCpuMs(clicker), startSway = ProcessCpuMs(swayPid);
    std::this_thread::sleep_for(std::chrono::seconds(options.seconds));
    const double endMs = NowMs(), endCpu = ProcessCpuMs(clicker), endSway = ProcessCpuMs(swayPid);
    ClickWindow window;
    window.presses = log.between(startMs, endMs);
    Require(window.presses.places == 1, "the clicks landed in more than one place");
    window.seconds = (endMs - startMs) / 1000.0;
    window.cpuPercent = (endCpu - startCpu) / (endMs - startMs) * 100;
    window.swayCpuPercent = (endSway - startSway) / (endMs - startMs) * 100;
    return window;
}

void PrintClicks(const std::vector<ClickWindow>& rows) {
    std::printf(
        "\n| Clicks at 1 ms | Wanted a second | Received a second | Received / wanted | Median interval error | "
        "p99 interval error | Places | Clicking process CPU | sway CPU |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const ClickWindow& row : rows) {
        const ClickTimingStats stats = ComputeClickTimingStats(row.presses.timesMs, 1.0);
        const double received = static_cast<double>(row.presses.timesMs.size()) / row.seconds;
        std::printf("| %s | %.0f | %.0f | **%.1f %%** | %.3f ms | %.3f ms | %zu | %.0f %% | %.0f %% |\n",
                    row.who.c_str(), row.wantedPerSecond, received, received / row.wantedPerSecond * 100,
                    stats.medianIntervalError, stats.p99IntervalError, row.presses.places, row.cpuPercent,
                    row.swayCpuPercent);
    }
    std::fflush(stdout);
}

void BenchClicks(const SwayHeadless& sway, const Options& options) {
    TMouseObj click;
    click.fName = "Fixed 1 ms";
    click.pointType = ptFixed;
    click.fPosX = kFixedPoint.x;
    click.fPosY = kFixedPoint.y;
    click.iClickInterval = 1;
    click.stopType = spCommand;
    std::vector<ClickWindow> rows;
    {
        const ProgramOnSway program(sway, TAPPORA_PROGRAM, {click});
        WaylandTarget target(sway, {.output = "HEADLESS-1", .background = kBackground});
        target.waitReady();
        const PressLog log(target);
        const double startMs = NowMs();
        Require(program.command({"start", click.fName}).exitStatus == 0, "tappora start failed");
        rows.push_back(CountPresses(log, startMs, program.pid(), options));
        rows.back().who = "the program (`tappora start`)";
        program.command({"stop", "--all"});
    }
    {
        WaylandTarget target(sway, {.output = "HEADLESS-1", .background = kBackground});
        target.waitReady();
        const PressLog log(target);
        const double startMs = NowMs();
        UserProcess peer(sway.user(), sway.environment(),
                         {SelfPath(), "child", "click-peer", std::to_string((options.seconds + 3) * 1000)});
        rows.push_back(CountPresses(log, startMs, peer.pid(), options));
        rows.back().who = "virtual pointer alone (bare client)";
        peer.waitForExit(30s);
    }
    for (ClickWindow& row : rows)
        row.wantedPerSecond = 1000;
    std::printf("\nClicks at 1 ms (load average %s):", LoadAverage().c_str());
    PrintClicks(rows);
}

struct MixFigures {
    std::string screen;
    double wantedPerSecond = 0;
    double madePerSecond = 0;
    double receivedPerSecond = 0;
    std::size_t places = 0;
    double cpuPercent = 0;
    double swayCpuPercent = 0;
};

MixFigures MeasureMix(const ProgramOnSway& program, const PressLog& log, const std::vector<std::string>& names,
                      const std::string& screen, const Options& options) {
    std::vector<std::string> start{"start"};
    start.insert(start.end(), names.begin(), names.end());
    const double startedMs = NowMs();
    Require(program.command(start).exitStatus == 0, "tappora start failed");
    Require(log.waitForPressAfter(startedMs, 20s), "no searching click arrived");
    std::this_thread::sleep_for(1s);
    const pid_t swayPid = ChildProcessNamed("sway");
    const double startCpu = ProcessCpuMs(program.pid()), startSway = ProcessCpuMs(swayPid);
    const ClickCounts before = ReadCounts(program);
    std::this_thread::sleep_for(std::chrono::seconds(options.seconds));
    const ClickCounts after = ReadCounts(program);
    const double endCpu = ProcessCpuMs(program.pid()), endSway = ProcessCpuMs(swayPid);
    program.command({"stop", "--all"});
    Require(before.running == names.size() && after.running == names.size() &&
                before.clicks.size() == after.clicks.size(),
            "not every searching click was running");
    MixFigures figures;
    figures.screen = screen;
    figures.wantedPerSecond = static_cast<double>(names.size()) * 1000.0 / kSearchIntervalMs;
    const double elapsedMs = after.atMs - before.atMs;
    const long long made = std::accumulate(after.clicks.begin(), after.clicks.end(), 0LL) -
                           std::accumulate(before.clicks.begin(), before.clicks.end(), 0LL);
    figures.madePerSecond = static_cast<double>(made) * 1000.0 / elapsedMs;
    const PressLog::Window received = log.between(before.atMs, after.atMs);
    figures.receivedPerSecond = static_cast<double>(received.timesMs.size()) * 1000.0 / elapsedMs;
    figures.places = received.places;
    figures.cpuPercent = (endCpu - startCpu) / elapsedMs * 100;
    figures.swayCpuPercent = (endSway - startSway) / elapsedMs * 100;
    return figures;
}

struct IdleFigures {
    std::string when;
    double cpuPercent = 0;
    double swayCpuPercent = 0;
};

IdleFigures MeasureIdle(const ProgramOnSway& program, const std::string& when, const Options& options) {
    std::this_thread::sleep_for(1s);
    const pid_t swayPid = ChildProcessNamed("sway");
    const double startMs = NowMs(), startCpu = ProcessCpuMs(program.pid()), startSway = ProcessCpuMs(swayPid);
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const double elapsedMs = NowMs() - startMs;
    return {when, (ProcessCpuMs(program.pid()) - startCpu) / elapsedMs * 100,
            (ProcessCpuMs(swayPid) - startSway) / elapsedMs * 100};
}

void BenchMix(const SwayHeadless& sway, const Options& options) {
    const fs::path pictures = WritePictureStrip(sway);
    const std::vector<TMouseObj> clicks = SearchingClicks();
    const ProgramOnSway program(sway, TAPPORA_PROGRAM, clicks);
    std::vector<MixFigures> mix;
    std::vector<IdleFigures> idle;
    {
        WaylandTarget target(sway, SearchScene(pictures, false));
        target.waitReady();
        const PressLog log(target);
        idle.push_back(MeasureIdle(program, "just started, nothing run yet", options));
        mix.push_back(MeasureMix(program, log, NamesOf(clicks), "unchanging", options));
        idle.push_back(MeasureIdle(program, "after the searching clicks stopped, screen unchanging", options));
    }
    {
        WaylandTarget target(sway, SearchScene(pictures, true));
        target.waitReady();
        const PressLog log(target);
        idle.push_back(
            MeasureIdle(program, "after the searching clicks stopped, screen changing every frame", options));
        mix.push_back(MeasureMix(program, log, NamesOf(clicks), "changing every frame", options));
    }
    std::printf("\n40 colour + 10 picture clicks at 10 ms (load average %s):\n\n| Screen | Wanted a second | Made a "
                "second (`list --json`) | Made / wanted | Presses received a second | Places | Program CPU | sway CPU "
                "|\n|---|---:|---:|---:|---:|---:|---:|---:|\n",
                LoadAverage().c_str());
    for (const MixFigures& row : mix)
        std::printf("| %s | %.0f | %.0f | **%.1f %%** | %.0f | %zu | %.0f %% | %.0f %% |\n", row.screen.c_str(),
                    row.wantedPerSecond, row.madePerSecond, row.madePerSecond / row.wantedPerSecond * 100,
                    row.receivedPerSecond, row.places, row.cpuPercent, row.swayCpuPercent);
    std::printf(
        "\nThe program with nothing running, %d s each:\n\n| When | Program CPU | sway CPU |\n|---|---:|---:|\n",
        options.idleSeconds);
    for (const IdleFigures& row : idle)
        std::printf("| %s | **%.2f %%** | %.1f %% |\n", row.when.c_str(), row.cpuPercent, row.swayCpuPercent);
    std::fflush(stdout);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--only")
            options.only = value;
        else if (name == "--rounds")
            options.rounds = std::max(1, std::stoi(value));
        else if (name == "--pictures")
            options.pictures = std::max(10, std::stoi(value));
        else if (name == "--seconds")
            options.seconds = std::max(1, std::stoi(value));
        else if (name == "--idle-seconds")
            options.idleSeconds = std::max(1, std::stoi(value));
        else
            throw std::runtime_error("unknown option " + name);
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc > 1 && std::string(argv[1]) == "child")
            return RunChild({argv + 2, argv + argc});
        const Options options = ParseOptions(argc, argv);
        const SwayHeadless sway;
        std::printf("program: %s\nload average at the start: %s\n", TAPPORA_PROGRAM, LoadAverage().c_str());
        if (options.only.empty() || options.only == "capture")
            BenchCapture(sway, options);
        if (options.only.empty() || options.only == "clicks")
            BenchClicks(sway, options);
        if (options.only.empty() || options.only == "mix")
            BenchMix(sway, options);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "wayland_bench: %s\n", error.what());
        return 1;
    }
}
