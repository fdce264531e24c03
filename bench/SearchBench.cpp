// Colour and picture search on a 1920 x 1080 desktop-like image, timed against one read pass over the same bytes
// with the widest vectors the search uses (the floor) and, when OpenCV is installed, against its matchTemplate.
// Prints a table of ratios at the end.
#include "BenchImages.h"

#include "ReferenceSearch.h"
#include "engine/Search.h"
#include "pixels/NearestMiss.h"
#include "pixels/PixelScan.h"
#include "platform/fake/FakeScreen.h"

#include <benchmark/benchmark.h>

#ifdef TAPPORA_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using PixelScan::TLevel;

namespace {

constexpr std::uint32_t FlatColor = 0x3A6EA5;
constexpr TBDSimilar Similar95{12, 12, 12};

struct TBenchData {
    TPixelBuffer desktop;
    TPixelBuffer flat;
    TPixelBuffer icon;           // 32 x 32 from the taskbar
    TPixelBuffer clock;          // 120 x 40 from the taskbar's clock
    TPixelBuffer absentIcon;     // the icon with one pixel changed
    TPixelBuffer flatPicture;    // flat colour but for one pixel, the last one a plain match tests
    TPixelBuffer stripes;        // columns of two colours in turn
    TPixelBuffer stripedPicture; // stripes with its bottom-right pixel flipped: every other placement is tested deeply
    TPixelBuffer stripedClock;   // 120 x 40 of the stripes with its bottom-right pixel flipped
    TPixelBuffer checkerboard;   // pixels of two colours in turn along rows and columns
    TPixelBuffer checkerPicture; // 32 x 32 of it with its bottom-right pixel flipped
    TPixelBuffer wideStripes;    // columns of three pixels: two of one colour, one of another
    TPixelBuffer widePicture;    // 32 x 32 of it with one pixel flipped so that its row keeps every pair the screen has
    TPixelBuffer text;           // black text on white over the whole screen
    TPixelBuffer textPicture;    // 32 x 16 of the text with one pixel changed: absent
    TPixelBuffer blackWhite;     // 32 x 16 of the black-on-white text of the desktop's window, present
    std::vector<std::uint8_t> desktopBgrx; // the desktop as 4-byte B,G,R,X pixels, X varying
    std::uint32_t missExact = 0;
    std::uint32_t missSimilar = 0;
};

// A colour that no pixel of the screen equals, or comes within the tolerance of.
std::uint32_t AbsentColor(const TPixelBuffer& screen, const TBDSimilar& tolerance) {
    for (std::uint32_t rgb = 0xFF00FF;; rgb = (rgb * 2654435761u + 12345u) & 0xFFFFFF) {
        std::int32_t x = 0, y = 0;
        if (!screen.FindColorSimilar(rgb, tolerance, x, y)) {
            return rgb;
        }
    }
}

void Build(TBenchData& d) {
    BenchImages::PaintDesktop(d.desktop);
    BenchImages::PaintFlat(d.flat, FlatColor);
    BenchImages::Cut(d.desktop, BenchImages::IconLeft, BenchImages::IconTop, 32, 32, d.icon);
    BenchImages::Cut(d.desktop, BenchImages::ClockLeft, BenchImages::ClockTop, 120, 40, d.clock);
    BenchImages::Cut(d.desktop, BenchImages::IconLeft, BenchImages::IconTop, 32, 32, d.absentIcon);
    BenchImages::SetPixel(d.absentIcon, 31, 0, d.absentIcon.Pixel(31, 0) ^ 0x808080);
    BenchImages::Cut(d.flat, 0, 0, 32, 32, d.flatPicture);
    BenchImages::SetPixel(d.flatPicture, 31, 0, FlatColor ^ 0x010000);
    BenchImages::PaintFlat(d.stripes, FlatColor);
    for (int y = 0; y < BenchImages::ScreenHeight; ++y) {
        for (int x = 1; x < BenchImages::ScreenWidth; x += 2) {
            BenchImages::SetPixel(d.stripes, x, y, 0xFFFFFF);
        }
    }
    BenchImages::Cut(d.stripes, 0, 0, 32, 32, d.stripedPicture);
    BenchImages::SetPixel(d.stripedPicture, 31, 31, FlatColor);
    BenchImages::Cut(d.stripes, 0, 0, 120, 40, d.stripedClock);
    BenchImages::SetPixel(d.stripedClock, 119, 39, FlatColor);
    BenchImages::PaintPattern(d.checkerboard, [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : FlatColor; });
    BenchImages::Cut(d.checkerboard, 0, 0, 32, 32, d.checkerPicture);
    BenchImages::SetPixel(d.checkerPicture, 31, 31, d.checkerPicture.Pixel(31, 31) ^ 0xFFFFFF ^ FlatColor);
    BenchImages::PaintPattern(d.wideStripes, [](int x, int) { return x % 3 == 2 ? 0xFFFFFFu : FlatColor; });
    BenchImages::Cut(d.wideStripes, 0, 0, 32, 32, d.widePicture);
    BenchImages::SetPixel(d.widePicture, 29, 31, FlatColor); // F F W F F W ... F F F: pairs FF and FW only
    BenchImages::PaintText(d.text);
    BenchImages::Cut(d.text, 1200, 1000, 32, 16, d.textPicture);
    BenchImages::SetPixel(d.textPicture, 31, 15, d.textPicture.Pixel(31, 15) ^ 0x808080);
    BenchImages::Cut(d.desktop, BenchImages::TextLeft, BenchImages::TextTop, 32, 16, d.blackWhite);
    for (int y = 0; y < d.desktop.height; ++y) {
        for (int x = 0; x < d.desktop.width; ++x) {
            const std::uint32_t rgb = d.desktop.Pixel(x, y);
            d.desktopBgrx.insert(d.desktopBgrx.end(), {std::uint8_t(rgb), std::uint8_t(rgb >> 8),
                                                       std::uint8_t(rgb >> 16), std::uint8_t(x ^ y)});
        }
    }
    d.missExact = AbsentColor(d.desktop, {});
    d.missSimilar = AbsentColor(d.desktop, Similar95);
}

TBenchData& Data() {
    static TBenchData data;
    static const bool built = (Build(data), true);
    (void)built;
    return data;
}

// The benchmark pictures must be found where they were cut (or not at all), by the fast and the plain search.
void CheckPlacements() {
    const TBenchData& d = Data();
    const auto check = [](bool ok, const char* what) {
        if (!ok) {
            throw std::runtime_error(std::string("benchmark picture misplaced: ") + what);
        }
    };
    std::int32_t x = 0, y = 0, rx = 0, ry = 0;
    check(d.desktop.FindBitmap(d.icon, x, y) && x == BenchImages::IconLeft && y == BenchImages::IconTop, "icon");
    check(ReferenceSearch::FindBitmap(d.desktop, d.icon, rx, ry) && rx == x && ry == y, "icon, plain scan");
    check(d.desktop.FindBitmapSimilar(d.clock, Similar95, x, y) && x == BenchImages::ClockLeft &&
              y == BenchImages::ClockTop,
          "clock");
    check(!d.desktop.FindBitmap(d.absentIcon, x, y) && !ReferenceSearch::FindBitmap(d.desktop, d.absentIcon, x, y),
          "absent icon");
    const int pixels = d.desktop.width * d.desktop.height;
    check(PixelScan::FindExact(d.desktopBgrx.data(), pixels, d.missExact, 4) < 0 &&
              PixelScan::FindSimilar(d.desktopBgrx.data(), pixels, d.missSimilar, {12, 12, 12}, 4) < 0,
          "4-byte colour misses");
}

void UseLevel(benchmark::State& state, TLevel level) {
    if (level > PixelScan::BestLevel()) {
        state.SkipWithError("the processor lacks these instructions");
    }
    PixelScan::UseLevel(level);
}

std::uint64_t SumOfWords(const std::uint8_t* bytes, std::int64_t size) {
    std::uint64_t sum = 0;
    for (std::int64_t i = 0; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        sum += word;
    }
    return sum;
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) __m256i Load(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Four independent sums of 32-byte vectors, so that only the loads bound the pass.
__attribute__((target("avx2"))) std::uint64_t SumOfVectors(const std::uint8_t* bytes, std::int64_t size) {
    __m256i s0 = _mm256_setzero_si256(), s1 = s0, s2 = s0, s3 = s0;
    std::int64_t i = 0;
    for (; i + 128 <= size; i += 128) {
        s0 = _mm256_add_epi64(s0, Load(bytes + i));
        s1 = _mm256_add_epi64(s1, Load(bytes + i + 32));
        s2 = _mm256_add_epi64(s2, Load(bytes + i + 64));
        s3 = _mm256_add_epi64(s3, Load(bytes + i + 96));
    }
    const __m256i all = _mm256_add_epi64(_mm256_add_epi64(s0, s1), _mm256_add_epi64(s2, s3));
    const __m128i half = _mm_add_epi64(_mm256_castsi256_si128(all), _mm256_extracti128_si256(all, 1));
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(half) + _mm_extract_epi64(half, 1)) +
           SumOfWords(bytes + i, size - i);
}
#else
std::uint64_t SumOfVectors(const std::uint8_t* bytes, std::int64_t size) {
    return SumOfWords(bytes, size);
}
#endif

// The floor: one read pass over the screen's bytes with the widest vectors the search uses on this processor.
void Floor(benchmark::State& state) {
    const TPixelBuffer& screen = Data().desktop;
    const bool vectors = PixelScan::BestLevel() == TLevel::Avx2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vectors ? SumOfVectors(screen.bits, screen.size)
                                         : SumOfWords(screen.bits, screen.size));
    }
    state.SetLabel(vectors ? "32-byte vectors" : "64-bit words");
}

// The floor of the 4-byte pixel searches: the same pass over the desktop's pixels at 4 bytes each.
void Floor4(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = Data().desktopBgrx;
    const bool vectors = PixelScan::BestLevel() == TLevel::Avx2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vectors ? SumOfVectors(bytes.data(), std::int64_t(bytes.size()))
                                         : SumOfWords(bytes.data(), std::int64_t(bytes.size())));
    }
}

// The floor of earlier runs, kept for comparison with them.
void WordFloor(benchmark::State& state) {
    const TPixelBuffer& screen = Data().desktop;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SumOfWords(screen.bits, screen.size));
    }
}

void ColorMiss(benchmark::State& state, TLevel level, bool similar) {
    UseLevel(state, level);
    const TBenchData& d = Data();
    for (auto _ : state) {
        std::int32_t x = 0, y = 0;
        const bool found = similar ? d.desktop.FindColorSimilar(d.missSimilar, Similar95, x, y)
                                   : d.desktop.FindColor(d.missExact, x, y);
        benchmark::DoNotOptimize(found);
    }
    PixelScan::UseLevel(PixelScan::BestLevel());
}

// The kernels alone over the whole 4-byte desktop in one call.
void ColorMiss4(benchmark::State& state, TLevel level, bool similar) {
    UseLevel(state, level);
    const TBenchData& d = Data();
    const int count = d.desktop.width * d.desktop.height;
    const PixelScan::TByteTolerance tolerance{std::uint8_t(Similar95.r), std::uint8_t(Similar95.g),
                                              std::uint8_t(Similar95.b)};
    for (auto _ : state) {
        benchmark::DoNotOptimize(similar
                                     ? PixelScan::FindSimilar(d.desktopBgrx.data(), count, d.missSimilar, tolerance, 4)
                                     : PixelScan::FindExact(d.desktopBgrx.data(), count, d.missExact, 4));
    }
    PixelScan::UseLevel(PixelScan::BestLevel());
}

void ColorMissReference(benchmark::State& state, bool similar) {
    const TBenchData& d = Data();
    for (auto _ : state) {
        std::int32_t x = 0, y = 0;
        const bool found = similar ? ReferenceSearch::FindColorSimilar(d.desktop, d.missSimilar, Similar95, x, y)
                                   : ReferenceSearch::FindColor(d.desktop, d.missExact, x, y);
        benchmark::DoNotOptimize(found);
    }
}

using TPictureOf = const TPixelBuffer& (*)(const TBenchData&);
using TScreenOf = const TPixelBuffer& (*)(const TBenchData&);

const TPixelBuffer& DesktopOf(const TBenchData& d) {
    return d.desktop;
}
const TPixelBuffer& FlatOf(const TBenchData& d) {
    return d.flat;
}
const TPixelBuffer& IconOf(const TBenchData& d) {
    return d.icon;
}
const TPixelBuffer& ClockOf(const TBenchData& d) {
    return d.clock;
}
const TPixelBuffer& AbsentOf(const TBenchData& d) {
    return d.absentIcon;
}
const TPixelBuffer& FlatPictureOf(const TBenchData& d) {
    return d.flatPicture;
}
const TPixelBuffer& StripesOf(const TBenchData& d) {
    return d.stripes;
}
const TPixelBuffer& StripedPictureOf(const TBenchData& d) {
    return d.stripedPicture;
}
const TPixelBuffer& StripedClockOf(const TBenchData& d) {
    return d.stripedClock;
}
const TPixelBuffer& CheckerboardOf(const TBenchData& d) {
    return d.checkerboard;
}
const TPixelBuffer& CheckerPictureOf(const TBenchData& d) {
    return d.checkerPicture;
}
const TPixelBuffer& WideStripesOf(const TBenchData& d) {
    return d.wideStripes;
}
const TPixelBuffer& WidePictureOf(const TBenchData& d) {
    return d.widePicture;
}
const TPixelBuffer& TextOf(const TBenchData& d) {
    return d.text;
}
const TPixelBuffer& TextPictureOf(const TBenchData& d) {
    return d.textPicture;
}
const TPixelBuffer& BlackWhiteOf(const TBenchData& d) {
    return d.blackWhite;
}

void Picture(benchmark::State& state, TScreenOf screenOf, TPictureOf pictureOf, bool similar) {
    const TPixelBuffer& screen = screenOf(Data());
    const TPixelBuffer& picture = pictureOf(Data());
    for (auto _ : state) {
        std::int32_t x = 0, y = 0;
        const bool found =
            similar ? screen.FindBitmapSimilar(picture, Similar95, x, y) : screen.FindBitmap(picture, x, y);
        benchmark::DoNotOptimize(found);
    }
}

// What Find now adds when a picture is not found: the best placement and the similarity it reaches.
void PictureNearestMiss(benchmark::State& state, TScreenOf screenOf, TPictureOf pictureOf) {
    const TPixelBuffer& screen = screenOf(Data());
    const TPixelBuffer& picture = pictureOf(Data());
    const TCancelFlag running{false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(NearestPlacement(screen.View(), picture, running));
    }
}

void ColorNearestMiss(benchmark::State& state) {
    const TCancelFlag running{false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(NearestPixel(Data().desktop.View(), Data().missExact, running));
    }
}

void PictureReference(benchmark::State& state, TPictureOf pictureOf) {
    const TPixelBuffer& picture = pictureOf(Data());
    for (auto _ : state) {
        std::int32_t x = 0, y = 0;
        benchmark::DoNotOptimize(ReferenceSearch::FindBitmap(Data().desktop, picture, x, y));
    }
}

// A whole colour-click search as a tick runs it: copy from the (fake) screen, then scan.
void SearchCallOnFakeScreen(benchmark::State& state) {
    FakeScreen screen;
    const TPixelBuffer& desktop = Data().desktop;
    for (int y = 0; y < desktop.height; ++y) {
        for (int x = 0; x < desktop.width; ++x) {
            screen.setPixel(x, y, desktop.Pixel(x, y));
        }
    }
    const std::string color = std::to_string(SwapRB(Data().missExact));
    for (auto _ : state) {
        benchmark::DoNotOptimize(SearchColorBlock(screen, color, 0, 0, 1920, 1080, 100));
    }
}

#ifdef TAPPORA_BENCH_OPENCV
cv::Mat Wrap(const TPixelBuffer& buffer) {
    return cv::Mat(buffer.height, buffer.width, CV_8UC3, buffer.bits, static_cast<std::size_t>(buffer.lineWidth));
}

void OpenCvMatch(benchmark::State& state, TScreenOf screenOf, TPictureOf pictureOf) {
    const cv::Mat screen = Wrap(screenOf(Data()));
    const cv::Mat picture = Wrap(pictureOf(Data()));
    cv::Mat scores;
    for (auto _ : state) {
        cv::matchTemplate(screen, picture, scores, cv::TM_SQDIFF);
        double best = 0;
        cv::Point at;
        cv::minMaxLoc(scores, &best, nullptr, &at);
        benchmark::DoNotOptimize(at);
    }
    state.SetLabel(std::to_string(cv::getNumThreads()) + " threads");
}
#endif

const char* LevelName(TLevel level) {
    switch (level) {
    case TLevel::Portable:
        return "portable";
    case TLevel::Sse2:
        return "sse2";
    case TLevel::Avx2:
        return "avx2";
    }
    return "?";
}

// Times are processor time (all threads of the process, for OpenCV's worker threads), so that other load on the
// machine does not enter the figures.
void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) { run(state); })
        ->Unit(benchmark::kMicrosecond)
        ->MeasureProcessCPUTime();
}

void RegisterColorSearches() {
    for (const TLevel level : {TLevel::Avx2, TLevel::Sse2, TLevel::Portable}) {
        Register(std::string("colour miss exact/") + LevelName(level),
                 [level](benchmark::State& s) { ColorMiss(s, level, false); });
        Register(std::string("colour miss similar 95/") + LevelName(level),
                 [level](benchmark::State& s) { ColorMiss(s, level, true); });
        Register(std::string("colour miss exact 4-byte/") + LevelName(level),
                 [level](benchmark::State& s) { ColorMiss4(s, level, false); });
        Register(std::string("colour miss similar 95 4-byte/") + LevelName(level),
                 [level](benchmark::State& s) { ColorMiss4(s, level, true); });
    }
    Register("colour miss exact/nearest miss", ColorNearestMiss);
    Register("colour miss exact/plain scan", [](benchmark::State& s) { ColorMissReference(s, false); });
    Register("colour miss similar 95/plain scan", [](benchmark::State& s) { ColorMissReference(s, true); });
}

struct TPictureCase {
    const char* name;
    TScreenOf screen;
    TPictureOf picture;
};

const TPictureCase PictureCases[] = {
    {"picture 32x32", DesktopOf, IconOf},
    {"picture 120x40", DesktopOf, ClockOf},
    {"picture absent 32x32", DesktopOf, AbsentOf},
    {"flat screen picture 32x32", FlatOf, FlatPictureOf},
    {"striped screen picture 32x32 (worst case)", StripesOf, StripedPictureOf},
    {"striped screen picture 120x40", StripesOf, StripedClockOf},
    {"checkerboard picture 32x32", CheckerboardOf, CheckerPictureOf},
    {"three-pixel stripes picture 32x32", WideStripesOf, WidePictureOf},
    {"text screen picture 32x16 absent", TextOf, TextPictureOf},
    {"black-and-white text picture 32x16 on the desktop", DesktopOf, BlackWhiteOf},
};

void RegisterPictureSearches() {
    for (const TPictureCase& c : PictureCases) {
        Register(std::string(c.name) + "/exact", [c](benchmark::State& s) { Picture(s, c.screen, c.picture, false); });
        Register(std::string(c.name) + "/similar 95",
                 [c](benchmark::State& s) { Picture(s, c.screen, c.picture, true); });
        Register(std::string(c.name) + "/nearest miss",
                 [c](benchmark::State& s) { PictureNearestMiss(s, c.screen, c.picture); });
#ifdef TAPPORA_BENCH_OPENCV
        Register(std::string(c.name) + "/opencv", [c](benchmark::State& s) { OpenCvMatch(s, c.screen, c.picture); });
#endif
    }
    Register("picture 32x32/plain scan", [](benchmark::State& s) { PictureReference(s, IconOf); });
    Register("picture 120x40/plain scan", [](benchmark::State& s) { PictureReference(s, ClockOf); });
}

// Keeps each benchmark's processor time per iteration, in nanoseconds, for the ratio table: the median when the
// benchmarks are repeated, else the single run's mean.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && run.iterations > 0 && (single || median)) {
                times[run.run_name.function_name] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e9;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;
};

// A nearest miss is also given against its own search (exact), which the user waited for anyway.
void PrintRatios(const std::map<std::string, double>& times) {
    const auto time = [&](const std::string& name) {
        const auto it = times.find(name);
        return it == times.end() ? 0.0 : it->second;
    };
    const double floor3 = time("floor: one read pass");
    const double floor4 = time("floor: one read pass, 4-byte pixels");
    std::printf("\n| Benchmark | Time (us) | x floor | OpenCV / this | x its search |\n|---|---:|---:|---:|---:|\n");
    for (const auto& [name, ns] : times) {
        const double floor = name.find("4-byte") == std::string::npos ? floor3 : floor4;
        const std::string base = name.substr(0, name.find('/'));
        const double peer = time(base + "/opencv");
        const bool comparable = peer > 0 && name.find("/opencv") == std::string::npos;
        const double search = time(base + "/exact");
        const bool miss = name.ends_with("/nearest miss") && search > 0;
        std::printf("| %s | %.1f | %.2f | %s | %s |\n", name.c_str(), ns / 1000, floor > 0 ? ns / floor : 0.0,
                    comparable ? std::to_string(static_cast<int>(peer / ns)).c_str() : "",
                    miss ? std::to_string(static_cast<int>(ns / search)).c_str() : "");
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CheckPlacements();
    Register("floor: one read pass", Floor);
    Register("floor: one read pass, 4-byte pixels", Floor4);
    Register("read pass in 64-bit words", WordFloor);
    RegisterColorSearches();
    RegisterPictureSearches();
    Register("colour search call on the fake screen (copy + miss)", SearchCallOnFakeScreen);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
