// Screen capture on a private Xvfb of 1920 x 1080: the full screen taken into the shared copy the searches read (the
// server's own 4-byte pixels) and copied into the 24-bit pixel buffer, against the raw XShmGetImage of the same
// rectangle (the floor), beside the XGetImage fallback and the conversion alone; one colour-click tick over the full
// screen against the capture alone; and click pairs injected with XTest and received by the target client. The
// captures are measured twice: idle, and with every other core kept busy while this process and the server share
// one, where no work of the capture can overlap the server's copy. Prints a table of ratios at the end; on a busy
// machine run it with --benchmark_repetitions=5 so that the table holds medians.

#include "engine/Search.h"
#include "pixels/PixelBuffer.h"
#include "platform/PixelRows.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Mouse.h"
#include "platform/x11/X11Screen.h"

#include "CoreLoad.h"
#include "TargetClient.h"
#include "XvfbServer.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Bench {
    XvfbServer server{{.width = kWidth, .height = kHeight, .depth = 24, .sharedMemory = true}};
    TargetClient target{server.displayName()};
    std::unique_ptr<X11Connection> connection = X11Connection::open(server.displayName());
};

Bench& bench() {
    static Bench instance;
    return instance;
}

// The colour a colour click looks for, painted once near the bottom-right corner (0x00RRGGBB).
constexpr std::uint32_t kWantedColour = 0x123456;
constexpr int kWantedX = 1900;
constexpr int kWantedY = 1070;

void paintDesktop() {
    std::mt19937 random(7);
    bench().target.paint(0, 0, kWidth, kHeight, [&](int x, int y) {
        if (x == kWantedX && y == kWantedY)
            return kWantedColour;
        const std::uint32_t colour =
            y < 500 ? static_cast<std::uint32_t>(x * 131 + y * 7) & 0xFFFFFF : random() & 0xFFFFFF;
        return colour == kWantedColour ? 0u : colour;
    });
}

enum class Load { Idle, OtherCoresBusy };

// Runs the benchmark's loop under the load, counting the processor time per iteration as "cpu" (milliseconds).
template <class Body> void underLoad(benchmark::State& state, Load load, Body body) {
    const auto busy = load == Load::OtherCoresBusy ? std::make_unique<OtherCoresBusy>(bench().server.pid()) : nullptr;
    const PairProcessorTime processor(bench().server.pid());
    const double start = processor.nanoseconds();
    for (auto _ : state)
        body();
    state.counters["cpu"] =
        benchmark::Counter((processor.nanoseconds() - start) / 1e6, benchmark::Counter::kAvgIterations);
}

// A shared-memory image of the full screen, attached to the server.
struct ShmImage {
    ShmImage() {
        Display* display = bench().connection->display();
        const int screen = DefaultScreen(display);
        image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                                nullptr, &info, kWidth, kHeight);
        info.shmid = shmget(IPC_PRIVATE, bytes(), IPC_CREAT | 0600);
        info.shmaddr = image->data = static_cast<char*>(shmat(info.shmid, nullptr, 0));
        XShmAttach(display, &info);
        XSync(display, False);
        shmctl(info.shmid, IPC_RMID, nullptr);
    }
    ShmImage(const ShmImage&) = delete;
    ShmImage& operator=(const ShmImage&) = delete;
    ~ShmImage() {
        Display* display = bench().connection->display();
        XShmDetach(display, &info);
        XSync(display, False);
        shmdt(info.shmaddr);
        XDestroyImage(image);
    }
    std::size_t bytes() const { return static_cast<std::size_t>(image->bytes_per_line) * kHeight; }
    void get() {
        XShmGetImage(bench().connection->display(), DefaultRootWindow(bench().connection->display()), image, 0, 0,
                     AllPlanes);
    }

    XShmSegmentInfo info{};
    XImage* image = nullptr;
};

void BM_RawXShmGetImage(benchmark::State& state, Load load) {
    ShmImage image;
    underLoad(state, load, [&] {
        image.get();
        benchmark::DoNotOptimize(image.image->data[0]);
    });
}

// The cheapest pass any capture that copies the server's image again could make: a plain copy of it.
void BM_RawThenCopy(benchmark::State& state, Load load) {
    ShmImage image;
    std::vector<char> copy(image.bytes());
    underLoad(state, load, [&] {
        image.get();
        std::memcpy(copy.data(), image.image->data, copy.size());
        benchmark::DoNotOptimize(copy[0]);
    });
}

void captureInto(benchmark::State& state, X11Screen::CaptureMethod method, Load load,
                 BgrxRowKernel kernel = bestBgrxRowKernel()) {
    X11Screen screen(bench().connection->display(), nullptr, method);
    TPixelBuffer buffer;
    useBgrxRowKernel(kernel);
    underLoad(state, load, [&] {
        if (!buffer.CaptureScreen(screen, 0, 0, kWidth, kHeight))
            state.SkipWithError("capture failed");
        benchmark::DoNotOptimize(buffer.bits[0]);
    });
    useBgrxRowKernel(bestBgrxRowKernel());
}

void BM_CaptureSharedMemory(benchmark::State& state, Load load) {
    captureInto(state, X11Screen::CaptureMethod::SharedMemoryFirst, load);
}

void BM_CaptureSsse3(benchmark::State& state, Load load) {
    captureInto(state, X11Screen::CaptureMethod::SharedMemoryFirst, load, convertBgrxRowSsse3);
}

// The shared screen copy the searches read, taken whole: the server's own pixels, nothing converted.
void BM_CaptureScreenImage(benchmark::State& state, Load load) {
    X11Screen screen(bench().connection->display());
    underLoad(state, load, [&] {
        const std::optional<TScreenImage> image = screen.copyScreenImage();
        if (!image)
            state.SkipWithError("the server gave no image");
        else
            benchmark::DoNotOptimize(image->top[0]);
    });
}

void BM_CaptureGetImage(benchmark::State& state) {
    captureInto(state, X11Screen::CaptureMethod::GetImageOnly, Load::Idle);
}

void convert(benchmark::State& state, void (*conversion)(const SourceRows&, int, int, const TargetRows&),
             Load load = Load::Idle) {
    std::vector<std::uint8_t> source(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0x5A);
    const int lineWidth = kWidth * 3;
    std::vector<std::uint8_t> target(static_cast<std::size_t>(lineWidth) * kHeight);
    underLoad(state, load, [&] {
        conversion({source.data(), kWidth * 4, PixelLayout{}}, kWidth, kHeight,
                   {target.data() + static_cast<std::size_t>(kHeight - 1) * lineWidth, -lineWidth});
        benchmark::DoNotOptimize(target[0]);
    });
}

void BM_ConvertFast(benchmark::State& state, Load load) {
    convert(state, convertPixelRows, load);
}

void BM_ConvertGeneral(benchmark::State& state) {
    convert(state, convertPixelRowsGeneral);
}

// One read of a full-screen copy with 3-byte pixels (as the program keeps it) and with the server's 4-byte ones: the
// least any search over the copy costs, were the copy kept without converting it.
void BM_ReadScreenCopy(benchmark::State& state) {
    const auto bytesPerPixel = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint64_t> copy(bytesPerPixel * kWidth * kHeight / sizeof(std::uint64_t), 0x5A);
    for (auto _ : state) {
        std::uint64_t any = 0;
        for (const std::uint64_t word : copy)
            any |= word;
        benchmark::DoNotOptimize(any);
    }
}

void BM_ClickPairDelivered(benchmark::State& state) {
    X11Mouse mouse(bench().connection->display());
    TargetClient& target = bench().target;
    mouse.setCursorPos(300, 200);
    for (auto _ : state) {
        target.clearEvents();
        mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
        mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
        if (target.waitForButtonEvents(2).size() != 2)
            state.SkipWithError("clicks did not arrive");
    }
    state.SetItemsProcessed(state.iterations());
}

// One tick of a colour click over the full screen as the program makes it: the question what was drawn since the last
// look (nothing, so the kept copy is not copied again), the search in that copy, move there and click.
void BM_ColourClickTick(benchmark::State& state) {
    X11Screen screen(bench().connection->display());
    X11Mouse mouse(bench().connection->display());
    for (auto _ : state) {
        const TPoint target = SearchColorBlock(screen, "$00563412", 0, 0, kWidth, kHeight, 100);
        if (target.x != kWantedX || target.y != kWantedY)
            state.SkipWithError("colour not found where painted");
        mouse.setCursorPos(target.x, target.y);
        mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
        mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
        state.PauseTiming();
        bench().target.pumpEvents();
        bench().target.clearEvents();
        state.ResumeTiming();
    }
}

#define CAPTURE_UNDER_LOADS(function)                                                                                  \
    BENCHMARK_CAPTURE(function, idle, Load::Idle)->UseRealTime()->Unit(benchmark::kMillisecond);                       \
    BENCHMARK_CAPTURE(function, busy, Load::OtherCoresBusy)->UseRealTime()->Unit(benchmark::kMillisecond)
CAPTURE_UNDER_LOADS(BM_RawXShmGetImage);
CAPTURE_UNDER_LOADS(BM_RawThenCopy);
CAPTURE_UNDER_LOADS(BM_CaptureSharedMemory);
CAPTURE_UNDER_LOADS(BM_CaptureSsse3);
CAPTURE_UNDER_LOADS(BM_CaptureScreenImage);
BENCHMARK(BM_CaptureGetImage)->UseRealTime()->Unit(benchmark::kMillisecond);
CAPTURE_UNDER_LOADS(BM_ConvertFast);
BENCHMARK(BM_ConvertGeneral)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadScreenCopy)->Arg(3)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourClickTick)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickPairDelivered)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's wall time per iteration, in nanoseconds (the server works in another process), and the
// processor time where it was counted.
class WallTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median aggregate comes last and stands for the benchmark.
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0 &&
                (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")) {
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) {
                    name += '/';
                    name += run.run_name.args;
                }
                times[name] = run.real_accumulated_time / static_cast<double>(run.iterations) * 1e9;
                if (const auto cpu = run.counters.find("cpu"); cpu != run.counters.end())
                    processorTimes[name] = cpu->second.value * 1e6;
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> processorTimes;
};

// The load average over the last minute, as /proc/loadavg tells it; empty where there is none.
std::string loadAverage() {
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    char text[16] = {};
    if (file != nullptr) {
        if (std::fscanf(file, "%15s", text) != 1)
            text[0] = '\0';
        std::fclose(file);
    }
    return text;
}

void printRatios(const WallTimeReporter& reporter, const std::string& loadBefore) {
    const auto& times = reporter.times;
    const auto& processor = reporter.processorTimes;
    const auto ratio = [&](const std::string& what, const std::string& floor) {
        if (!times.contains(what) || !times.contains(floor))
            return;
        std::printf("%-32s %8.3f ms  %5.2fx", what.c_str(), times.at(what) / 1e6, times.at(what) / times.at(floor));
        if (processor.contains(what) && processor.contains(floor))
            std::printf("  %8.3f ms  %5.2fx", processor.at(what) / 1e6, processor.at(what) / processor.at(floor));
        std::printf("  %s\n", floor.c_str());
    };
    std::printf(
        "\nFull %d x %d capture, per capture against the floor, wall time and processor time (this thread's and "
        "the server's); load average %s before, %s after; busy: every other core spinning, this process and "
        "the server on one:\n",
        kWidth, kHeight, loadBefore.c_str(), loadAverage().c_str());
    for (const std::string load : {"idle", "busy"})
        for (const std::string what :
             {"BM_RawXShmGetImage", "BM_RawThenCopy", "BM_CaptureScreenImage", "BM_CaptureSharedMemory",
              "BM_CaptureSsse3", "BM_ConvertFast"})
            ratio(what + "/" + load, "BM_RawXShmGetImage/" + load);
    ratio("BM_CaptureGetImage", "BM_RawXShmGetImage/idle");
    ratio("BM_ConvertGeneral", "BM_ConvertFast/idle");
    ratio("BM_ReadScreenCopy/4", "BM_ReadScreenCopy/3");
    ratio("BM_ColourClickTick", "BM_CaptureSharedMemory/idle");
    if (times.contains("BM_ClickPairDelivered"))
        std::printf("Click pairs injected and received: %.0f per second\n", 1e9 / times.at("BM_ClickPairDelivered"));
}
} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    paintDesktop();
    const std::string loadBefore = loadAverage();
    WallTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter, loadBefore);
    benchmark::Shutdown();
    return 0;
}
