// The real program on private headless GNOME (mutter) and KDE Plasma (KWin) desktops, 1280 x 720, through the desktop
// portals (tests/portal's desktops; GNOME's consent dialog answered as a person would):
//   clicks   the program's fixed click at 1 ms, started by `tappora start`, beside a bare portal client
//            (portal-click-loop.py) pressing and releasing every 1 ms; presses counted by the target window, the
//            clicks the program counted (`tappora list --json`), the presses that still came after the stop, the
//            time the portal took to answer each NotifyPointerButton of the bare client, and the processor time of
//            the clicking process, the compositor, the portals and the session bus
//   capture  the program's screen (PortalBackend in a process of its own, frames taken in from the Qt loop as the
//            program takes them) read every 10 ms as a search's tick reads it: the frames the stream sent a second,
//            and the age of the picture each reading got (since its frame was taken in), on an unchanging screen and
//            on one whose window changes at every frame the compositor shows
//   idle     the program with nothing running: just started, and with its session open after a colour click ran, on
//            the unchanging and on the changing screen
// Prints markdown tables. A desktop that cannot be started here is told and skipped; that is no failure.
//
// Usage: portal_bench [--desktop gnome|kde] [--only clicks|capture|idle] [--seconds S] [--idle-seconds S]
//   --seconds       how long clicks are counted and captures read, after a second of warm-up (default 5)
//   --idle-seconds  how long the idle program is watched (default 10)
// `portal_bench child capture S WAIT` is the part that runs in the desktop's session, as the desktop's user.

#include "WaylandBenchSupport.h"

#include "ClickTimingStats.h"
#include "ConsentAnswer.h"
#include "GnomeHeadless.h"
#include "KdeHeadless.h"
#include "ProcessUsage.h"
#include "ProgramOnSway.h"
#include "WaylandTarget.h"

#include "model/ColorText.h"
#include "model/MouseObj.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "platform/portal/PortalBackend.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr MonitorSize kMonitor{.width = 1280, .height = 720};
constexpr TPoint kFixedPoint{640, 360};
constexpr std::uint32_t kBackground = 0x204060;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr int kReadingIntervalMs = 10;
// The first start of a session on GNOME waits for the consent dialog, answered about 4 s after it came.
constexpr auto kSessionStartTimeout = 90s;
// KDE asks nothing: a frame that has not come within this never comes.
constexpr auto kKdeFrameWait = 20s;

struct Options {
    std::string desktop;
    std::string only;
    int seconds = 5;
    int idleSeconds = 10;
};

// ---- In the desktop's session -------------------------------------------------------------------------------------

// The toolkit's loop as the program's backend sees it, calling `afterEach` after every handler of a watch: that is
// where the bench learns that a frame was taken in.
class NotifierLoop : public IForeignLoop {
public:
    explicit NotifierLoop(std::function<void()> afterEach) : m_afterEach(std::move(afterEach)) {}

    void watchReadable(int fd, std::function<void()> handler) override {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &m_context);
        QObject::connect(notifier, &QSocketNotifier::activated, [this, handler] {
            handler();
            m_afterEach();
        });
    }
    void post(std::function<void()> call) override { QTimer::singleShot(0, &m_context, std::move(call)); }

private:
    QObject m_context;
    std::function<void()> m_afterEach;
};

// When the program's picture last took in a frame, learnt from the screen's changes (every frame taken in marks its
// area changed).
class FrameArrivals {
public:
    explicit FrameArrivals(IScreen& screen) : m_screen(screen) {}

    // Takes in what arrived; false while the session starts or no frame came yet. A refused session throws.
    bool takeIn() {
        try {
            const std::optional<std::vector<TRect>> changed = m_screen.changedAreas();
            if (!m_firstMs || (changed && !changed->empty())) {
                m_lastMs = NowMs();
                m_firstMs = m_firstMs ? m_firstMs : m_lastMs;
                ++m_frames;
            }
            return true;
        } catch (const TServiceRefused&) {
            throw;
        } catch (const std::runtime_error&) {
            return false;
        }
    }
    bool pictured() const { return m_firstMs != 0; }
    double lastMs() const { return m_lastMs; }
    int frames() const { return m_frames; }

private:
    IScreen& m_screen;
    double m_firstMs = 0;
    double m_lastMs = 0;
    int m_frames = 0;
};

// Runs the loop until `done` holds (checked every 20 ms) or `timeout` passed; false on the timeout.
template <typename Done> bool RunLoopUntil(Done done, std::chrono::milliseconds timeout) {
    const double untilMs = NowMs() + static_cast<double>(timeout.count());
    bool held = done();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        held = done();
        if (held || NowMs() > untilMs)
            loop.quit();
    });
    poll.start(20);
    if (!held)
        loop.exec();
    return held;
}

// Starts the session as a click does, waits up to `waitSeconds` for the first picture, then reads the whole screen
// every 10 ms for `seconds` after a second of warm-up. Prints "timing" when the timed part begins, then "done READINGS
// FRAMES SECONDS CPU_MS SECOND_FRAME_MS" and "ages MS..." and "readings MS..." (the wall time of each reading), or
// "noframes" when no picture came.
int CaptureChild(int seconds, int waitSeconds) {
    int argc = 1;
    char name[] = "portal_bench";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string failure;
    const std::unique_ptr<PortalBackend> backend =
        PortalBackend::open(fs::path(state ? state : ".") / "tappora", failure);
    Require(backend != nullptr, failure);
    IScreen& screen = backend->screen();
    FrameArrivals arrivals(screen);
    NotifierLoop loop([&arrivals] { arrivals.takeIn(); });
    backend->deliverEventsThrough(loop);
    backend->mouse().prepare();
    if (!RunLoopUntil([&arrivals] { return arrivals.takeIn() && arrivals.pictured(); },
                      std::chrono::seconds(waitSeconds))) {
        std::puts("noframes");
        return 0;
    }
    // GNOME's stream sends its second frame only a second or so after the first; the timed part begins with the steady
    // flow after it (or after 3 s without it, on an unchanging screen).
    const double firstMs = arrivals.lastMs();
    const bool second = RunLoopUntil([&arrivals] { return arrivals.frames() > 1; }, 3s);
    const double secondAfterMs = second ? arrivals.lastMs() - firstMs : 0;
    RunLoopUntil([] { return false; }, 1s);
    const TSize size = screen.screenSize();
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(size.width) * 3 * size.height);
    std::vector<double> ages, readings;
    const int framesBefore = arrivals.frames();
    std::puts("timing");
    std::fflush(stdout);
    const double startMs = NowMs(), startCpuMs = OwnCpuMs();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        arrivals.takeIn();
        const double readMs = NowMs();
        screen.copyRect(0, 0, size.width, size.height, bits.data(), size.width * 3);
        readings.push_back(NowMs() - readMs);
        ages.push_back(readMs - arrivals.lastMs());
    });
    tick.start(kReadingIntervalMs);
    RunLoopUntil([] { return false; }, std::chrono::seconds(seconds));
    tick.stop();
    std::printf("done %zu %d %.3f %.3f %.3f\n", ages.size(), arrivals.frames() - framesBefore,
                (NowMs() - startMs) / 1000, OwnCpuMs() - startCpuMs, secondAfterMs);
    for (const auto& [label, values] : {std::pair{"ages", &ages}, std::pair{"readings", &readings}}) {
        std::printf("%s", label);
        for (const double value : *values)
            std::printf(" %.3f", value);
        std::printf("\n");
    }
    std::fflush(stdout);
    return 0;
}

// ---- The parent ---------------------------------------------------------------------------------------------------

enum class Desktop { gnome, kde };

const char* NameOf(Desktop desktop) {
    return desktop == Desktop::gnome ? "GNOME (mutter 43)" : "KDE (KWin 5.27)";
}

std::string RuntimeOf(const PortalDesktop& desktop) {
    for (const auto& [name, value] : desktop.environment())
        if (name == "XDG_RUNTIME_DIR")
            return value;
    return {};
}

// The process of the desktop whose program file is called `name`: the compositor and the bus are ours, the portals
// were started by the bus, so each is found by its runtime folder.
pid_t DesktopProcess(const PortalDesktop& desktop, const std::string& name) {
    const std::string runtime = "XDG_RUNTIME_DIR=" + RuntimeOf(desktop);
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string number = entry.path().filename().string();
        if (number.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream commandLine(entry.path() / "cmdline", std::ios::binary);
        std::string program;
        std::getline(commandLine, program, '\0');
        if (fs::path(program).filename() != name)
            continue;
        std::ifstream environment(entry.path() / "environ", std::ios::binary);
        for (std::string variable; std::getline(environment, variable, '\0');)
            if (variable == runtime)
                return static_cast<pid_t>(std::stol(number));
    }
    return -1;
}

// The processor time of the processes that carry a portal click: the compositor, the portal and the desktop's own
// portal backend, and the session bus between them.
class DesktopCpu {
public:
    DesktopCpu(const PortalDesktop& desktop, Desktop which) {
        m_compositor = {DesktopProcess(desktop, which == Desktop::gnome ? "mutter" : "kwin_wayland")};
        m_portals = {
            DesktopProcess(desktop, "xdg-desktop-portal"),
            DesktopProcess(desktop, which == Desktop::gnome ? "xdg-desktop-portal-gnome" : "xdg-desktop-portal-kde")};
        m_bus = {DesktopProcess(desktop, "dbus-daemon")};
    }

    struct Sample {
        double atMs = 0, compositorMs = 0, portalsMs = 0, busMs = 0;
    };
    Sample sample() const { return {NowMs(), sum(m_compositor), sum(m_portals), sum(m_bus)}; }

private:
    static double sum(const std::vector<pid_t>& pids) {
        double ms = 0;
        for (const pid_t pid : pids)
            ms += pid > 0 ? ProcessCpuMs(pid) : 0;
        return ms;
    }

    std::vector<pid_t> m_compositor, m_portals, m_bus;
};

// Percentages of one processor between two samples.
struct CpuShares {
    double compositor = 0, portals = 0, bus = 0;
};

CpuShares SharesBetween(const DesktopCpu::Sample& from, const DesktopCpu::Sample& to) {
    const double elapsedMs = to.atMs - from.atMs;
    return {(to.compositorMs - from.compositorMs) / elapsedMs * 100, (to.portalsMs - from.portalsMs) / elapsedMs * 100,
            (to.busMs - from.busMs) / elapsedMs * 100};
}

std::string Cpu(const CpuShares& shares) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f %% | %.0f %% | %.0f %%", shares.compositor, shares.portals, shares.bus);
    return text;
}

// The desktop's consent dialog answered as a person allowing it would, where the desktop shows one.
std::unique_ptr<ConsentAnswer> AllowWhereAsked(const PortalDesktop& desktop, Desktop which) {
    if (which == Desktop::kde)
        return nullptr;
    return std::make_unique<ConsentAnswer>(static_cast<const GnomeHeadless&>(desktop), ConsentAnswer::allow);
}

struct ClickRow {
    std::string who;
    double madePerSecond = 0;
    double receivedPerSecond = 0;
    std::size_t places = 0;
    std::size_t afterStop = 0;
    double lateMs = 0;
    std::vector<double> roundtripsMs;
    double clickerCpu = 0;
    CpuShares desktopCpu;
};

// Waits for the first press after `sinceMs`, lets a second go by, then measures for `seconds`; `atStart` and `atEnd`
// run right at the window's edges.
template <typename AtStart, typename AtEnd>
ClickRow CountPresses(const PressLog& log, double sinceMs, pid_t clicker, const DesktopCpu& cpu, int seconds,
                      AtStart atStart, AtEnd atEnd) {
    Require(log.waitForPressAfter(sinceMs, kSessionStartTimeout), "no click arrived");
    std::this_thread::sleep_for(1s);
    atStart();
    const DesktopCpu::Sample desktopFrom = cpu.sample();
    const double fromMs = NowMs(), clickerFrom = ProcessCpuMs(clicker);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double toMs = NowMs(), clickerTo = ProcessCpuMs(clicker);
    const DesktopCpu::Sample desktopTo = cpu.sample();
    atEnd();
    ClickRow row;
    const PressLog::Window presses = log.between(fromMs, toMs);
    row.receivedPerSecond = static_cast<double>(presses.timesMs.size()) * 1000 / (toMs - fromMs);
    row.places = presses.places;
    row.clickerCpu = (clickerTo - clickerFrom) / (toMs - fromMs) * 100;
    row.desktopCpu = SharesBetween(desktopFrom, desktopTo);
    return row;
}

TMouseObj FixedClick() {
    TMouseObj click;
    click.fName = "Fixed 1 ms";
    click.pointType = ptFixed;
    click.fPosX = kFixedPoint.x;
    click.fPosY = kFixedPoint.y;
    click.iClickInterval = 1;
    click.stopType = spCommand;
    return click;
}

long long TotalClicks(const ClickCounts& counts) {
    return std::accumulate(counts.clicks.begin(), counts.clicks.end(), 0LL);
}

ClickRow ProgramClicks(const PortalDesktop& desktop, Desktop which, const Options& options) {
    WaylandTarget target(desktop, {.background = kBackground});
    target.waitReady();
    const PressLog log(target);
    const TMouseObj click = FixedClick();
    const ProgramOnSway program(desktop, TAPPORA_PROGRAM, {click}, {"--hidden"});
    const DesktopCpu cpu(desktop, which);
    const std::unique_ptr<ConsentAnswer> consent = AllowWhereAsked(desktop, which);
    const double startMs = NowMs();
    Require(program.command({"start", click.fName}).exitStatus == 0, "tappora start failed");
    ClickCounts before, after;
    double stoppedMs = 0;
    ClickRow row = CountPresses(
        log, startMs, program.pid(), cpu, options.seconds, [&] { before = ReadCounts(program); },
        [&] {
            after = ReadCounts(program);
            program.command({"stop", "--all"});
            stoppedMs = NowMs();
        });
    std::this_thread::sleep_for(3s);
    const PressLog::Window late = log.between(stoppedMs, NowMs());
    row.who = "the program (`tappora start`)";
    row.madePerSecond =
        static_cast<double>(TotalClicks(after) - TotalClicks(before)) * 1000 / (after.atMs - before.atMs);
    row.afterStop = late.timesMs.size();
    row.lateMs = late.timesMs.empty() ? 0 : late.timesMs.back() - stoppedMs;
    return row;
}

std::vector<double> NumbersAfter(const std::string& line, const std::string& label) {
    std::istringstream in(line);
    std::string word;
    std::vector<double> numbers;
    if (!(in >> word) || word != label)
        throw std::runtime_error("expected " + label + ", got: " + line);
    for (double number = 0; in >> number;)
        numbers.push_back(number);
    return numbers;
}

ClickRow BareClicks(const PortalDesktop& desktop, Desktop which, const Options& options) {
    WaylandTarget target(desktop, {.background = kBackground});
    target.waitReady();
    const PressLog log(target);
    const DesktopCpu cpu(desktop, which);
    const std::unique_ptr<ConsentAnswer> consent = AllowWhereAsked(desktop, which);
    UserProcess peer(desktop.user(), desktop.environment(),
                     {"python3", TAPPORA_PORTAL_CLICK_LOOP, TAPPORA_REMOTE_CLICK, std::to_string(kFixedPoint.x),
                      std::to_string(kFixedPoint.y), std::to_string(options.seconds + 3)});
    const double startMs = NowMs();
    ClickRow row = CountPresses(
        log, startMs, peer.pid(), cpu, options.seconds, [] {}, [] {});
    std::optional<std::string> line;
    do
        line = peer.readLine(60s);
    while (line && !line->starts_with("done"));
    const std::vector<double> done = NumbersAfter(line.value_or(""), "done");
    Require(done.size() == 2, "the bare client ended without its figures");
    row.roundtripsMs = NumbersAfter(peer.readLine(30s).value_or(""), "roundtrips");
    row.who = "bare client (portal-click-loop.py)";
    row.madePerSecond = done[0] / done[1];
    return row;
}

void PrintClicks(Desktop which, const std::vector<ClickRow>& rows) {
    std::printf(
        "\n%s, clicks at 1 ms (load average %s):\n\n| Clicking | Made a second | Received a second | Received / "
        "1000 wanted | Places | Presses after the stop | Last one after | NotifyPointerButton answered "
        "(median, p95) | Clicking process CPU | Compositor CPU | Portals CPU | Session bus CPU |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n",
        NameOf(which), LoadAverage().c_str());
    for (const ClickRow& row : rows) {
        char roundtrip[64] = "";
        if (!row.roundtripsMs.empty())
            std::snprintf(roundtrip, sizeof roundtrip, "%.2f ms, %.2f ms", Percentile(row.roundtripsMs, 50),
                          Percentile(row.roundtripsMs, 95));
        std::printf("| %s | %.0f | %.0f | **%.1f %%** | %zu | %zu | %.0f ms | %s | %.0f %% | %s |\n", row.who.c_str(),
                    row.madePerSecond, row.receivedPerSecond, row.receivedPerSecond / 10, row.places, row.afterStop,
                    row.lateMs, roundtrip, row.clickerCpu, Cpu(row.desktopCpu).c_str());
    }
    std::fflush(stdout);
}

void BenchClicks(const PortalDesktop& desktop, Desktop which, const Options& options) {
    std::vector<ClickRow> rows;
    rows.push_back(ProgramClicks(desktop, which, options));
    rows.push_back(BareClicks(desktop, which, options));
    PrintClicks(which, rows);
}

std::chrono::seconds FirstFrameWait(Desktop which) {
    return which == Desktop::gnome ? kSessionStartTimeout : kKdeFrameWait;
}

struct CaptureRow {
    std::string screen;
    bool framesCame = false;
    int readings = 0;
    double framesPerSecond = 0;
    std::vector<double> agesMs, readingsMs;
    double childCpu = 0;
    // From the stream's first frame to its second; 0 when none came.
    double secondFrameMs = 0;
    CpuShares desktopCpu;
};

CaptureRow MeasureCapture(const PortalDesktop& desktop, Desktop which, bool animate, const Options& options) {
    WaylandTarget target(desktop, {.background = kBackground, .animate = animate});
    target.waitReady();
    const DesktopCpu cpu(desktop, which);
    const std::unique_ptr<ConsentAnswer> consent = AllowWhereAsked(desktop, which);
    UserProcess child(desktop.user(), desktop.environment(),
                      {SelfPath(), "child", "capture", std::to_string(options.seconds),
                       std::to_string(FirstFrameWait(which).count())});
    CaptureRow row;
    row.screen = animate ? "changing at every frame" : "unchanging";
    const std::optional<std::string> first = child.readLine(FirstFrameWait(which) + 10s);
    if (first == "noframes")
        return row;
    Require(first == "timing", "the capture did not start");
    const DesktopCpu::Sample from = cpu.sample();
    const std::vector<double> done =
        NumbersAfter(child.readLine(std::chrono::seconds(options.seconds + 30)).value_or(""), "done");
    const DesktopCpu::Sample to = cpu.sample();
    Require(done.size() == 5, "the capture ended without its figures");
    row.framesCame = true;
    row.readings = static_cast<int>(done[0]);
    row.framesPerSecond = done[1] / done[2];
    row.childCpu = done[3] / (done[2] * 1000) * 100;
    row.secondFrameMs = done[4];
    row.agesMs = NumbersAfter(child.readLine(30s).value_or(""), "ages");
    row.readingsMs = NumbersAfter(child.readLine(30s).value_or(""), "readings");
    row.desktopCpu = SharesBetween(from, to);
    return row;
}

void BenchCapture(const PortalDesktop& desktop, Desktop which, const Options& options) {
    std::vector<CaptureRow> rows;
    for (const bool animate : {false, true})
        rows.push_back(MeasureCapture(desktop, which, animate, options));
    std::printf(
        "\n%s, the program's screen read every %d ms (load average %s):\n\n| Screen | Readings | Frames a second | "
        "Frame interval | Second frame after the first | Picture's age (median, p95, max) | Reading the whole screen "
        "(median) | Reading "
        "process CPU | Compositor CPU | Portals CPU | Session bus CPU |\n"
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n",
        NameOf(which), kReadingIntervalMs, LoadAverage().c_str());
    for (const CaptureRow& row : rows) {
        if (!row.framesCame) {
            std::printf("| %s | no frame came in %lld s | | | | | | | | | |\n", row.screen.c_str(),
                        static_cast<long long>(FirstFrameWait(which).count()));
            continue;
        }
        // Without frames the picture is the one of the start, still true: its age says nothing.
        char interval[32] = "no frame", age[64] = "(no frame)";
        if (row.framesPerSecond > 0) {
            std::snprintf(interval, sizeof interval, "%.0f ms", 1000 / row.framesPerSecond);
            std::snprintf(age, sizeof age, "%.0f ms, %.0f ms, %.0f ms", Percentile(row.agesMs, 50),
                          Percentile(row.agesMs, 95), *std::max_element(row.agesMs.begin(), row.agesMs.end()));
        }
        const std::string second =
            row.secondFrameMs > 0 ? std::to_string(static_cast<int>(row.secondFrameMs)) + " ms" : "none in 3 s";
        std::printf("| %s | %d | %.1f | %s | %s | %s | %.2f ms | %.0f %% | %s |\n", row.screen.c_str(), row.readings,
                    row.framesPerSecond, interval, second.c_str(), age, Percentile(row.readingsMs, 50), row.childCpu,
                    Cpu(row.desktopCpu).c_str());
    }
    std::fflush(stdout);
}

struct IdleRow {
    std::string when;
    double programCpu = 0;
    CpuShares desktopCpu;
};

IdleRow MeasureIdle(const ProgramOnSway& program, const DesktopCpu& cpu, const std::string& when,
                    const Options& options) {
    std::this_thread::sleep_for(1s);
    const DesktopCpu::Sample from = cpu.sample();
    const double programFrom = ProcessCpuMs(program.pid());
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const DesktopCpu::Sample to = cpu.sample();
    return {when, (ProcessCpuMs(program.pid()) - programFrom) / (to.atMs - from.atMs) * 100, SharesBetween(from, to)};
}

TMouseObj RedClick() {
    TMouseObj click;
    click.fName = "Red";
    click.pointType = ptColor;
    click.fColor = ColorToString(static_cast<TColor>(0x0000FF));
    click.ScreenType = scFull;
    click.iClickInterval = 100;
    click.stopType = spCommand;
    return click;
}

void BenchIdle(const PortalDesktop& desktop, Desktop which, const Options& options) {
    const TMouseObj click = RedClick();
    const ProgramOnSway program(desktop, TAPPORA_PROGRAM, {click}, {"--hidden"});
    const DesktopCpu cpu(desktop, which);
    std::vector<IdleRow> rows;
    {
        WaylandTarget target(desktop, {.background = kBackground, .rects = {{{600, 340, 40, 40}, kRed}}});
        target.waitReady();
        rows.push_back(MeasureIdle(program, cpu, "just started, no session", options));
        const std::unique_ptr<ConsentAnswer> consent = AllowWhereAsked(desktop, which);
        const PressLog log(target);
        const double startMs = NowMs();
        Require(program.command({"start", click.fName}).exitStatus == 0, "tappora start failed");
        // KWin's virtual backend sends no frame: there the colour click runs without finding its colour.
        const bool clicked = log.waitForPressAfter(startMs, FirstFrameWait(which));
        Require(clicked || which == Desktop::kde, "the colour click did not click");
        program.command({"stop", "--all"});
        rows.push_back(MeasureIdle(program, cpu, "session open after a colour click ran, screen unchanging", options));
    }
    {
        WaylandTarget target(desktop, {.background = kBackground, .animate = true});
        target.waitReady();
        rows.push_back(MeasureIdle(program, cpu, "session open, screen changing at every frame", options));
    }
    std::printf("\n%s, the program with nothing running, %d s each (load average %s):\n\n| When | Program CPU | "
                "Compositor CPU | Portals CPU | Session bus CPU |\n|---|---:|---:|---:|---:|\n",
                NameOf(which), options.idleSeconds, LoadAverage().c_str());
    for (const IdleRow& row : rows)
        std::printf("| %s | **%.2f %%** | %s |\n", row.when.c_str(), row.programCpu, Cpu(row.desktopCpu).c_str());
    std::fflush(stdout);
}

std::unique_ptr<PortalDesktop> StartDesktop(Desktop which) {
    if (which == Desktop::gnome)
        return std::make_unique<GnomeHeadless>(kMonitor);
    return std::make_unique<KdeHeadless>(kMonitor);
}

void BenchDesktop(Desktop which, const Options& options) {
    std::unique_ptr<PortalDesktop> desktop;
    try {
        desktop = StartDesktop(which);
    } catch (const std::exception& error) {
        const std::string why = error.what();
        std::printf("\n%s could not be started here, so it is not measured: %s\n", NameOf(which),
                    why.substr(0, std::min(why.find('\n'), why.find("; the log"))).c_str());
        return;
    }
    if (options.only.empty() || options.only == "clicks")
        BenchClicks(*desktop, which, options);
    if (options.only.empty() || options.only == "capture")
        BenchCapture(*desktop, which, options);
    if (options.only.empty() || options.only == "idle")
        BenchIdle(*desktop, which, options);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--desktop")
            options.desktop = value;
        else if (name == "--only")
            options.only = value;
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
        if (argc > 4 && std::string(argv[1]) == "child" && std::string(argv[2]) == "capture")
            return CaptureChild(std::stoi(argv[3]), std::stoi(argv[4]));
        const Options options = ParseOptions(argc, argv);
        std::printf("program: %s\nload average at the start: %s\n", TAPPORA_PROGRAM, LoadAverage().c_str());
        for (const Desktop which : {Desktop::gnome, Desktop::kde})
            if (options.desktop.empty() || options.desktop == (which == Desktop::gnome ? "gnome" : "kde"))
                BenchDesktop(which, options);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "portal_bench: %s\n", error.what());
        return 1;
    }
}
