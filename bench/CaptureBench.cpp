// Screen capture on a private Xvfb of 1920 x 1080: the full screen copied into the 24-bit pixel buffer, against the
// raw XShmGetImage of the same rectangle (the floor), beside the XGetImage fallback and the conversion alone; one
// colour-click tick over the full screen against the capture alone; and click pairs injected with XTest and received
// by the target client. Prints a table of ratios at the end; on a busy
// machine run it with --benchmark_repetitions=5 so that the table holds medians.

#include "engine/Search.h"
#include "pixels/PixelBuffer.h"
#include "platform/PixelRows.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Mouse.h"
#include "platform/x11/X11Screen.h"

#include "TargetClient.h"
#include "XvfbServer.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <map>
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

void BM_RawXShmGetImage(benchmark::State& state) {
    Display* display = bench().connection->display();
    const int screen = DefaultScreen(display);
    XShmSegmentInfo info{};
    XImage* image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                                    nullptr, &info, kWidth, kHeight);
    info.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * kHeight, IPC_CREAT | 0600);
    info.shmaddr = image->data = static_cast<char*>(shmat(info.shmid, nullptr, 0));
    XShmAttach(display, &info);
    XSync(display, False);
    shmctl(info.shmid, IPC_RMID, nullptr);
    for (auto _ : state) {
        XShmGetImage(display, DefaultRootWindow(display), image, 0, 0, AllPlanes);
        benchmark::DoNotOptimize(image->data[0]);
    }
    XShmDetach(display, &info);
    XSync(display, False);
    shmdt(info.shmaddr);
    XDestroyImage(image);
}

void captureInto(benchmark::State& state, X11Screen::CaptureMethod method) {
    X11Screen screen(bench().connection->display(), nullptr, method);
    TPixelBuffer buffer;
    for (auto _ : state) {
        if (!buffer.CaptureScreen(screen, 0, 0, kWidth, kHeight))
            state.SkipWithError("capture failed");
        benchmark::DoNotOptimize(buffer.bits[0]);
    }
}

void BM_CaptureSharedMemory(benchmark::State& state) {
    captureInto(state, X11Screen::CaptureMethod::SharedMemoryFirst);
}

void BM_CaptureGetImage(benchmark::State& state) {
    captureInto(state, X11Screen::CaptureMethod::GetImageOnly);
}

void convert(benchmark::State& state, void (*conversion)(const SourceRows&, int, int, const TargetRows&)) {
    std::vector<std::uint8_t> source(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0x5A);
    const int lineWidth = kWidth * 3;
    std::vector<std::uint8_t> target(static_cast<std::size_t>(lineWidth) * kHeight);
    for (auto _ : state) {
        conversion({source.data(), kWidth * 4, PixelLayout{}}, kWidth, kHeight,
                   {target.data() + static_cast<std::size_t>(kHeight - 1) * lineWidth, -lineWidth});
        benchmark::DoNotOptimize(target[0]);
    }
}

void BM_ConvertFast(benchmark::State& state) {
    convert(state, convertPixelRows);
}

void BM_ConvertGeneral(benchmark::State& state) {
    convert(state, convertPixelRowsGeneral);
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

BENCHMARK(BM_RawXShmGetImage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureSharedMemory)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureGetImage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFast)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertGeneral)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourClickTick)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickPairDelivered)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's wall time per iteration, in nanoseconds: the server works in another process.
class WallTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median aggregate comes last and stands for the benchmark.
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0 &&
                (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median"))
                times[run.run_name.function_name] =
                    run.real_accumulated_time / static_cast<double>(run.iterations) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void printRatios(const std::map<std::string, double>& times) {
    const auto ratio = [&](const char* what, const char* floor) {
        if (times.contains(what) && times.contains(floor))
            std::printf("%-24s %8.3f ms  %5.2fx %s\n", what, times.at(what) / 1e6, times.at(what) / times.at(floor),
                        floor);
    };
    std::printf("\nFull %d x %d capture, wall time per capture, against the floor:\n", kWidth, kHeight);
    ratio("BM_RawXShmGetImage", "BM_RawXShmGetImage");
    ratio("BM_CaptureSharedMemory", "BM_RawXShmGetImage");
    ratio("BM_CaptureGetImage", "BM_RawXShmGetImage");
    ratio("BM_ConvertFast", "BM_RawXShmGetImage");
    ratio("BM_ConvertGeneral", "BM_ConvertFast");
    ratio("BM_ColourClickTick", "BM_CaptureSharedMemory");
    if (times.contains("BM_ClickPairDelivered"))
        std::printf("Click pairs injected and received: %.0f per second\n", 1e9 / times.at("BM_ClickPairDelivered"));
}
} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    paintDesktop();
    WallTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
