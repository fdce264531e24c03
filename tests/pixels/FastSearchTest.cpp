// The fast searches of TPixelBuffer against the plain scans of ReferenceSearch, at every kernel level the
// processor runs, on random and adversarial images.
#include "PixelTestSupport.h"
#include "ReferenceSearch.h"
#include "pixels/NearestMiss.h"
#include "pixels/PixelBuffer.h"
#include "pixels/PixelScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

using PixelScan::TLevel;

namespace {

struct Result {
    bool found = false;
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Result&, const Result&) = default;
};

[[maybe_unused]] void PrintTo(const Result& r, std::ostream* out) {
    *out << (r.found ? "found " : "none ") << r.x << "," << r.y;
}

template <class TSearch> Result Outcome(TSearch search) {
    Result r;
    r.found = search(r.x, r.y);
    return r;
}

std::uint32_t Clamp(int value) {
    return static_cast<std::uint32_t>(std::clamp(value, 0, 255));
}

std::uint32_t Moved(std::uint32_t rgb, int red, int green, int blue) {
    return Clamp(static_cast<int>(rgb >> 16 & 0xFF) + red) << 16 |
           Clamp(static_cast<int>(rgb >> 8 & 0xFF) + green) << 8 | Clamp(static_cast<int>(rgb & 0xFF) + blue);
}

// The first of `count` places in `row` where `length` pixels in a row lie within the tolerances of `run`, or -1.
int PlainFirstRun(const std::vector<std::uint32_t>& row, int count, const std::uint32_t* run, int length,
                  const TBDSimilar& tolerances) {
    for (int i = 0; i < count; ++i) {
        bool all = true;
        for (int j = 0; j < length && all; ++j) {
            all = ColorsSimilar(row[static_cast<std::size_t>(i + j)], run[j], tolerances);
        }
        if (all) {
            return i;
        }
    }
    return -1;
}

std::vector<std::uint32_t> RowColors(const TPixelBuffer& row) {
    std::vector<std::uint32_t> colors;
    for (int x = 0; x < row.width; ++x) {
        colors.push_back(row.Pixel(x, 0));
    }
    return colors;
}

PixelScan::TByteTolerance ByteTolerance(const TBDSimilar& t) {
    return PixelScan::TByteTolerance{std::uint8_t(t.r), std::uint8_t(t.g), std::uint8_t(t.b)};
}

// Whether every pixel of `a` lies within the tolerances of the one at the same place in `b`.
bool PlainAllSimilar(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int count,
                     const TBDSimilar& tolerances) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        if (!ColorsSimilar(a[i], b[i], tolerances)) {
            return false;
        }
    }
    return true;
}

constexpr int PixelSizes[] = {3, 4};

class FastSearchTest : public testing::TestWithParam<TLevel> {
protected:
    void SetUp() override {
        if (GetParam() > PixelScan::BestLevel()) {
            GTEST_SKIP() << "this processor lacks the instructions";
        }
        PixelScan::UseLevel(GetParam());
    }
    void TearDown() override { PixelScan::UseLevel(PixelScan::BestLevel()); }

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool OneIn(int n) { return Uniform(1, n) == 1; }
    std::uint8_t AnyByte() { return static_cast<std::uint8_t>(Uniform(0, 255)); }
    std::uint32_t AnyColor() { return static_cast<std::uint32_t>(Uniform(0, 0xFFFFFF)); }

    // Channel values near the ends of the byte range make the saturating bounds of the kernels matter.
    std::uint32_t EdgyColor() {
        const int values[] = {0, 1, 2, 12, 13, 127, 128, 242, 243, 253, 254, 255};
        const auto pick = [&] { return static_cast<std::uint32_t>(values[Uniform(0, 11)]); };
        return pick() << 16 | pick() << 8 | pick();
    }

    std::int32_t AnyTolerance() {
        const int special[] = {-1, 0, 0, 1, 12, 25, 102, 254, 255, 256, 1000};
        return OneIn(2) ? special[Uniform(0, 10)] : Uniform(0, 40);
    }

    TBDSimilar AnyTolerances() {
        if (OneIn(2)) {
            const std::int32_t t = AnyTolerance();
            return {t, t, t};
        }
        return {AnyTolerance(), AnyTolerance(), AnyTolerance()};
    }

    // Colours near `base`: equal, at the tolerance, one past it, in one channel or all.
    std::vector<std::uint32_t> Neighbours(std::uint32_t base, int tolerance) {
        std::vector<std::uint32_t> colors{base};
        for (const int by : {tolerance, tolerance + 1, -tolerance, -tolerance - 1}) {
            colors.push_back(Moved(base, by, 0, 0));
            colors.push_back(Moved(base, 0, by, 0));
            colors.push_back(Moved(base, 0, 0, by));
            colors.push_back(Moved(base, by, by, by));
        }
        return colors;
    }

    // Mostly `background`, with other palette colours sprinkled at the given density (1 in n).
    void Sprinkle(TPixelBuffer& screen, int width, int height, std::uint32_t background,
                  const std::vector<std::uint32_t>& palette, int n) {
        PixelTest::Fill(screen, width, height, background);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (OneIn(n)) {
                    screen.SetPixel(x, y, palette[static_cast<std::size_t>(Uniform(0, int(palette.size()) - 1))]);
                }
            }
        }
    }

    void ExpectSameColorSearch(const TPixelBuffer& screen, std::uint32_t color, const TBDSimilar& t, int round) {
        const auto fast = Outcome([&](auto& x, auto& y) { return screen.FindColor(color, x, y); });
        const auto plain = Outcome([&](auto& x, auto& y) { return ReferenceSearch::FindColor(screen, color, x, y); });
        ASSERT_EQ(fast, plain) << "round " << round;
        const auto fastSimilar = Outcome([&](auto& x, auto& y) { return screen.FindColorSimilar(color, t, x, y); });
        const auto plainSimilar =
            Outcome([&](auto& x, auto& y) { return ReferenceSearch::FindColorSimilar(screen, color, t, x, y); });
        ASSERT_EQ(fastSimilar, plainSimilar) << "round " << round << " tolerance " << t.r << "," << t.g << "," << t.b;
    }

    void ExpectSamePictureSearch(const TPixelBuffer& screen, const TPixelBuffer& picture, const TBDSimilar& t,
                                 int round) {
        const auto fast = Outcome([&](auto& x, auto& y) { return screen.FindBitmap(picture, x, y); });
        const auto plain =
            Outcome([&](auto& x, auto& y) { return ReferenceSearch::FindBitmap(screen, picture, x, y); });
        ASSERT_EQ(fast, plain) << "round " << round;
        const auto fastSimilar = Outcome([&](auto& x, auto& y) { return screen.FindBitmapSimilar(picture, t, x, y); });
        const auto plainSimilar =
            Outcome([&](auto& x, auto& y) { return ReferenceSearch::FindBitmapSimilar(screen, picture, t, x, y); });
        ASSERT_EQ(fastSimilar, plainSimilar) << "round " << round << " tolerance " << t.r << "," << t.g << "," << t.b;
        const int x = Uniform(-2, screen.width + 1);
        const int y = Uniform(-2, screen.height + 1);
        ASSERT_EQ(screen.MatchAt(picture, x, y), ReferenceSearch::MatchAt(screen, picture, x, y)) << round;
        ASSERT_EQ(screen.MatchAtSimilar(picture, t, x, y), ReferenceSearch::MatchAtSimilar(screen, picture, t, x, y))
            << round;
    }

    // A picture cut from the screen, or from a place partly off it, with every pixel moved by up to `noise`.
    void CutPicture(const TPixelBuffer& screen, int width, int height, int noise, TPixelBuffer& picture) {
        const int left = Uniform(-1, std::max(screen.width - width, 0) + 1);
        const int top = Uniform(-1, std::max(screen.height - height, 0) + 1);
        PixelTest::Cut(screen, left, top, width, height, picture);
        if (noise == 0) {
            return;
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int by = Uniform(-noise, noise);
                picture.SetPixel(x, y, Moved(picture.Pixel(x, y), by, -by, OneIn(2) ? by : 0));
            }
        }
    }

    // The colours' B,G,R bytes, each pixel followed with `pixelBytes` 4 by a random byte the kernels must ignore:
    // exactly the bytes the kernels may read, so that a sanitizer sees any read past them.
    std::vector<std::uint8_t> Bytes(const std::vector<std::uint32_t>& colors, int pixelBytes) {
        std::vector<std::uint8_t> bytes(colors.size() * static_cast<std::size_t>(pixelBytes));
        for (std::size_t i = 0; i < colors.size(); ++i) {
            std::uint8_t* pixel = bytes.data() + i * static_cast<std::size_t>(pixelBytes);
            pixel[0] = std::uint8_t(colors[i]);
            pixel[1] = std::uint8_t(colors[i] >> 8);
            pixel[2] = std::uint8_t(colors[i] >> 16);
            if (pixelBytes == 4) {
                pixel[3] = AnyByte();
            }
        }
        return bytes;
    }

    // `row` against a copy of it moved within per-channel tolerances but, at `place` if the row has it, moved in one
    // channel by that channel's tolerance or one past it.
    void ExpectSameAllSimilar(const std::vector<std::uint32_t>& row, int count, int place, int pixelBytes) {
        const TBDSimilar t{Uniform(0, 40), Uniform(0, 40), Uniform(0, 40)};
        std::vector<std::uint32_t> moved;
        for (const std::uint32_t color : row) {
            moved.push_back(Moved(color, Uniform(-t.r, t.r), Uniform(-t.g, t.g), Uniform(-t.b, t.b)));
        }
        if (place >= 0 && place < count) {
            const int channel = Uniform(0, 2); // blue, green, red
            const int by = ((channel == 2 ? t.r : channel == 1 ? t.g : t.b) + Uniform(0, 1)) * (OneIn(2) ? 1 : -1);
            moved[static_cast<std::size_t>(place)] = Moved(row[static_cast<std::size_t>(place)], channel == 2 ? by : 0,
                                                           channel == 1 ? by : 0, channel == 0 ? by : 0);
        }
        ASSERT_EQ(PixelScan::AllSimilar(Bytes(row, pixelBytes).data(), Bytes(moved, pixelBytes).data(), count,
                                        ByteTolerance(t), pixelBytes),
                  PlainAllSimilar(row, moved, count, t));
    }

    std::mt19937 random{20261207};
};

TEST_P(FastSearchTest, ColourSearchOnSprinkledImages) {
    for (int round = 0; round < 1500; ++round) {
        const std::uint32_t base = OneIn(2) ? EdgyColor() : AnyColor();
        const TBDSimilar t = AnyTolerances();
        const std::vector<std::uint32_t> palette = Neighbours(base, std::clamp(t.g, 0, 255));
        TPixelBuffer screen;
        Sprinkle(screen, Uniform(1, 100), Uniform(1, 4), AnyColor(), palette, Uniform(1, 200));
        ExpectSameColorSearch(screen, OneIn(8) ? (AnyColor() | 0xFF000000u) : base, t, round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastSearchTest, ColourSearchFindsHitsAtEveryColumnOfAWideRow) {
    for (int column = 0; column < 130; ++column) {
        TPixelBuffer screen;
        PixelTest::Fill(screen, 130, 2, 0x808080);
        screen.SetPixel(column, 1, 0x80807F);
        screen.SetPixel(std::max(column - 1, 0), 1, 0x7F8080);
        ExpectSameColorSearch(screen, 0x80807F, {0, 0, 0}, column);
        ExpectSameColorSearch(screen, 0x7E807F, {1, 0, 0}, column);
        if (HasFatalFailure()) {
            return;
        }
    }
}

// Screens taller than the bands of rows a colour search tests at once, with rows back to back in memory (widths a
// multiple of 4) or padded, and a few hits close together: the first in reading order, not in memory, is found.
TEST_P(FastSearchTest, ColourSearchOnTallScreensFindsTheFirstHitOfEachBand) {
    for (int round = 0; round < 300; ++round) {
        const std::uint32_t color = AnyColor();
        const TBDSimilar t = AnyTolerances();
        TPixelBuffer screen;
        Sprinkle(screen, OneIn(2) ? 4 * Uniform(1, 12) : Uniform(1, 50), Uniform(15, 70), AnyColor(),
                 Neighbours(color, std::clamp(t.g, 0, 255)), 4000);
        const int row = Uniform(0, screen.height - 1);
        for (int hits = Uniform(0, 3); hits > 0; --hits) {
            screen.SetPixel(Uniform(0, screen.width - 1), std::min(row + Uniform(0, 17), screen.height - 1), color);
        }
        ExpectSameColorSearch(screen, color, t, round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastSearchTest, ColourSearchAtToleranceBoundaries) {
    int round = 0;
    for (const int tolerance : {0, 1, 12, 25, 102, 254, 255}) {
        for (int i = 0; i < 60; ++i, ++round) {
            const std::uint32_t base = EdgyColor();
            const std::vector<std::uint32_t> palette = Neighbours(base, tolerance);
            TPixelBuffer screen;
            Sprinkle(screen, Uniform(1, 70), Uniform(1, 3), palette[static_cast<std::size_t>(Uniform(6, 8))], palette,
                     Uniform(2, 30));
            ExpectSameColorSearch(screen, base, {tolerance, tolerance, tolerance}, round);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST_P(FastSearchTest, PictureSearchOnFewColourImages) {
    for (int round = 0; round < 1500; ++round) {
        const std::vector<std::uint32_t> palette = Neighbours(AnyColor(), Uniform(0, 3));
        TPixelBuffer screen;
        Sprinkle(screen, Uniform(1, 60), Uniform(1, 12), palette[0], palette, Uniform(1, 4));
        TPixelBuffer picture;
        const int width = Uniform(1, std::min(screen.width + 1, 7));
        const int height = Uniform(1, std::min(screen.height + 1, 5));
        if (OneIn(5)) {
            Sprinkle(picture, width, height, palette[0], palette, 2);
        } else {
            CutPicture(screen, width, height, OneIn(2) ? Uniform(0, 4) : 0, picture);
        }
        ExpectSamePictureSearch(screen, picture, AnyTolerances(), round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastSearchTest, PictureSearchOnFlatAndRepeatingScreens) {
    for (int round = 0; round < 800; ++round) {
        const std::uint32_t background = AnyColor();
        const std::uint32_t other = Moved(background, Uniform(-3, 3), Uniform(-3, 3), 1);
        const int width = Uniform(1, 70);
        const int height = Uniform(1, 10);
        const int period = Uniform(1, 4);
        const int pattern = Uniform(0, 3); // flat, stripes across, stripes down, chequered
        TPixelBuffer screen;
        PixelTest::Fill(screen, width, height, background);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int phase = pattern == 1 ? x : pattern == 2 ? y : x + y;
                if (pattern != 0 && phase % (period + 1) == period) {
                    screen.SetPixel(x, y, other);
                }
            }
        }
        TPixelBuffer picture;
        CutPicture(screen, Uniform(1, std::min(width, 8)), Uniform(1, std::min(height, 6)), 0, picture);
        // One pixel off, usually the last in memory order, so that most placements fail late.
        const bool late = OneIn(3) == false;
        const int px = late ? picture.width - 1 : Uniform(0, picture.width - 1);
        const int py = late ? 0 : Uniform(0, picture.height - 1);
        if (!OneIn(4)) {
            picture.SetPixel(px, py, OneIn(2) ? other : Moved(background, 0, 2, 0));
        }
        if (OneIn(3)) {
            screen.SetPixel(Uniform(0, width - 1), Uniform(0, height - 1), picture.Pixel(px, py));
        }
        ExpectSamePictureSearch(screen, picture, AnyTolerances(), round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastSearchTest, PictureSearchWithWidePicturesUsesEveryRowKernel) {
    for (int round = 0; round < 200; ++round) {
        TPixelBuffer screen;
        Sprinkle(screen, Uniform(40, 110), Uniform(2, 6), 0x102030, Neighbours(0x102030, 12), Uniform(3, 40));
        TPixelBuffer picture;
        CutPicture(screen, Uniform(30, screen.width), Uniform(1, screen.height), Uniform(0, 13), picture);
        const std::int32_t t = Uniform(10, 14);
        ExpectSamePictureSearch(screen, picture, {t, t, t}, round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(FastSearchTest, PictureSearchOnTallScreensWhereOnlySomeRowsAreSampled) {
    for (int round = 0; round < 150; ++round) {
        const std::vector<std::uint32_t> palette = Neighbours(AnyColor(), Uniform(0, 2));
        TPixelBuffer screen;
        Sprinkle(screen, Uniform(4, 40), Uniform(33, 90), palette[0], palette, Uniform(1, 6));
        TPixelBuffer picture;
        CutPicture(screen, Uniform(1, 4), Uniform(1, 8), OneIn(2) ? 1 : 0, picture);
        ExpectSamePictureSearch(screen, picture, AnyTolerances(), round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

std::string LevelName(const testing::TestParamInfo<TLevel>& info) {
    switch (info.param) {
    case TLevel::Portable:
        return "Portable";
    case TLevel::Sse2:
        return "Sse2";
    case TLevel::Avx2:
        return "Avx2";
    }
    return "Unknown";
}

TEST_P(FastSearchTest, RunSearchFindsWhatAPlainLoopFinds) {
    for (int round = 0; round < 4000; ++round) {
        const int pixelBytes = PixelSizes[round % 2];
        const std::vector<std::uint32_t> palette = Neighbours(AnyColor(), Uniform(0, 3));
        TPixelBuffer row;
        Sprinkle(row, Uniform(PixelScan::MaxRun, 140), 1, palette[0], palette, Uniform(1, 3));
        const std::vector<std::uint32_t> colors = RowColors(row);
        const int length = Uniform(1, PixelScan::MaxRun);
        const int from = Uniform(0, row.width - length);
        std::uint32_t run[PixelScan::MaxRun] = {};
        for (int j = 0; j < length; ++j) {
            run[j] = OneIn(6) ? AnyColor() : colors[static_cast<std::size_t>(from + j)];
        }
        const auto byteRange = [](std::int32_t t) { return std::clamp(t, 0, 255); };
        const std::int32_t t = byteRange(AnyTolerance());
        const TBDSimilar within =
            OneIn(2) ? TBDSimilar{t, t, t} : TBDSimilar{byteRange(AnyTolerance()), byteRange(AnyTolerance()), t};
        const bool exact = OneIn(2);
        const int count = row.width - length + 1;
        ASSERT_EQ(PixelScan::FindRun(Bytes(colors, pixelBytes).data(), count, run, length,
                                     exact ? std::nullopt : std::optional{ByteTolerance(within)}, pixelBytes),
                  PlainFirstRun(colors, count, run, length, exact ? TBDSimilar{} : within))
            << "round " << round << ", " << pixelBytes << "-byte pixels";
    }
}

// Rows of 3- and 4-byte pixels of every length around the vector widths (16 to 128 pixels of 3 bytes, 4 to 32 of 4),
// on backgrounds of near misses: each pixel one past the tolerance in one channel, so that two of its three bytes
// match; with green off, every pixel's red and the next one's blue match as well. The colour, or a run of them, is
// placed at the row's ends, at block edges or nowhere.
TEST_P(FastSearchTest, KernelsFindTheFirstMatchOnRowsOfNearMisses) {
    std::vector<int> counts(71);
    std::iota(counts.begin(), counts.end(), 0);
    counts.insert(counts.end(), {95, 96, 127, 128, 129, 159, 255, 256, 257, 383, 385, 520});
    const auto middle = [&] { return static_cast<std::uint32_t>(Uniform(48, 207)); };
    int round = 0;
    for (const int pixelBytes : PixelSizes) {
        for (const int count : counts) {
            for (const int background : {0, 1, 2, 3}) { // random; off in channel i % 3; off in green; in any channel
                for (const int place : {-1, 0, count - 1, 7, 8, 31, 32, 127, 128, 255, Uniform(0, count)}) {
                    SCOPED_TRACE(testing::Message() << "round " << ++round << ", " << pixelBytes << "-byte pixels");
                    const std::uint32_t color = middle() << 16 | middle() << 8 | middle();
                    const int t = OneIn(2) ? 0 : Uniform(1, 40);
                    const int length = Uniform(1, PixelScan::MaxRun);
                    std::vector<std::uint32_t> row(static_cast<std::size_t>(count + length - 1));
                    for (std::size_t i = 0; i < row.size(); ++i) {
                        const int channel = background == 1 ? int(i % 3) : background == 2 ? 1 : Uniform(0, 2);
                        const int off = OneIn(2) ? t + 1 : -t - 1;
                        row[i] = background == 0 ? AnyColor()
                                                 : Moved(color, channel == 2 ? off : 0, channel == 1 ? off : 0,
                                                         channel == 0 ? off : 0);
                    }
                    std::uint32_t run[PixelScan::MaxRun] = {color, Moved(color, t, -t, t), Moved(color, -t, 0, t),
                                                            color};
                    for (int j = 0; place >= 0 && place < count && j < length; ++j) {
                        const int by = Uniform(-t, t);
                        row[static_cast<std::size_t>(place + j)] = OneIn(3) ? Moved(run[j], by, -by, by) : run[j];
                    }
                    const std::vector<std::uint8_t> bytes = Bytes(row, pixelBytes);
                    const TBDSimilar within{t, t, t};
                    ASSERT_EQ(PixelScan::FindExact(bytes.data(), count, color, pixelBytes),
                              PlainFirstRun(row, count, run, 1, {}));
                    ASSERT_EQ(PixelScan::FindSimilar(bytes.data(), count, color, ByteTolerance(within), pixelBytes),
                              PlainFirstRun(row, count, run, 1, within));
                    ASSERT_EQ(PixelScan::FindRun(bytes.data(), count, run, length, ByteTolerance(within), pixelBytes),
                              PlainFirstRun(row, count, run, length, within));
                    ASSERT_EQ(PixelScan::FindRun(bytes.data(), count, run, length, std::nullopt, pixelBytes),
                              PlainFirstRun(row, count, run, length, {}));
                    ExpectSameAllSimilar(row, count, place, pixelBytes);
                }
            }
        }
    }
}
// Screens that repeat a pattern, and pictures cut from them with one pixel changed: every colour of the picture is
// common, so the search looks for the run of pixels the screen shows least.
TEST_P(FastSearchTest, PictureSearchOnLargeRepetitiveScreensWithOneChangedPixel) {
    for (int round = 0; round < 40; ++round) {
        const std::uint32_t a = AnyColor();
        const std::uint32_t b = Moved(a, 40, -40, 40);
        const int period = Uniform(2, 4);
        const bool checker = OneIn(2);
        TPixelBuffer screen;
        PixelTest::Fill(screen, 260, Uniform(40, 70), a);
        for (int y = 0; y < screen.height; ++y) {
            for (int x = 0; x < screen.width; ++x) {
                if ((checker ? x + y : x) % period == period - 1) {
                    screen.SetPixel(x, y, b);
                }
            }
        }
        TPixelBuffer picture;
        const int width = Uniform(2, 40);
        const int height = Uniform(1, 32);
        PixelTest::Cut(screen, Uniform(0, screen.width - width), Uniform(0, screen.height - height), width, height,
                       picture);
        const int x = Uniform(0, width - 1);
        const int y = Uniform(0, height - 1);
        if (!OneIn(4)) {
            picture.SetPixel(x, y, picture.Pixel(x, y) == a ? b : a);
        }
        const std::int32_t t = OneIn(2) ? 0 : Uniform(0, 50);
        ExpectSamePictureSearch(screen, picture, {t, t, t}, round);
        if (HasFatalFailure()) {
            return;
        }
    }
}

// A search on a part of a larger buffer (the shared screen copy) finds what the plain scans find on a copy of that
// part: nothing left, right, above or below the part is read as if it belonged to it.
TEST_P(FastSearchTest, SearchesOnAPartOfABufferMatchThePlainScansOnACopyOfThePart) {
    for (int round = 0; round < 600; ++round) {
        const std::vector<std::uint32_t> palette = Neighbours(AnyColor(), Uniform(0, 3));
        TPixelBuffer whole;
        Sprinkle(whole, Uniform(1, 70), Uniform(1, 12), palette[0], palette, Uniform(1, 4));
        const int left = Uniform(0, whole.width - 1);
        const int top = Uniform(0, whole.height - 1);
        const int width = Uniform(1, whole.width - left);
        const int height = Uniform(1, whole.height - top);
        TPixelBuffer part;
        PixelTest::Cut(whole, left, top, width, height, part);
        const TPixelView view = whole.View().Part(left, top, width, height);
        TPixelBuffer picture;
        CutPicture(whole, Uniform(1, std::min(width + 1, 5)), Uniform(1, std::min(height + 1, 4)), 0, picture);
        const std::uint32_t color = palette[static_cast<std::size_t>(Uniform(0, int(palette.size()) - 1))];
        for (const std::optional<TBDSimilar>& t : {std::optional<TBDSimilar>{}, std::optional{AnyTolerances()}}) {
            const auto fastColor = Outcome([&](auto& x, auto& y) { return FindColorIn(view, color, t, x, y); });
            const auto plainColor = Outcome([&](auto& x, auto& y) {
                return t ? ReferenceSearch::FindColorSimilar(part, color, *t, x, y)
                         : ReferenceSearch::FindColor(part, color, x, y);
            });
            ASSERT_EQ(fastColor, plainColor) << "round " << round;
            const auto fastPicture = Outcome([&](auto& x, auto& y) { return FindBitmapIn(view, picture, t, x, y); });
            const auto plainPicture = Outcome([&](auto& x, auto& y) {
                return t ? ReferenceSearch::FindBitmapSimilar(part, picture, *t, x, y)
                         : ReferenceSearch::FindBitmap(part, picture, x, y);
            });
            ASSERT_EQ(fastPicture, plainPicture) << "round " << round;
        }
    }
}

// The nearest misses, which run the fast search at many tolerances, against trying every pixel and placement: on
// sprinkled screens, on flat and repeating ones (where every placement is nearly as good) and on noisy cut pictures.
TEST_P(FastSearchTest, NearestMissesAreThePlainScansNearest) {
    const TCancelFlag running{false};
    for (int round = 0; round < 400; ++round) {
        const std::vector<std::uint32_t> palette = Neighbours(OneIn(2) ? EdgyColor() : AnyColor(), Uniform(0, 40));
        TPixelBuffer screen;
        Sprinkle(screen, Uniform(1, 40), Uniform(1, 12), palette[0], palette, Uniform(1, 30));
        const std::uint32_t color = OneIn(3) ? AnyColor() : palette[static_cast<std::size_t>(Uniform(1, 16))];
        ASSERT_EQ(NearestPixel(screen.View(), color, running), ReferenceSearch::NearestPixel(screen, color)) << round;
        TPixelBuffer picture;
        if (OneIn(4)) {
            Sprinkle(picture, Uniform(1, 6), Uniform(1, 5), AnyColor(), palette, 3);
        } else {
            CutPicture(screen, Uniform(1, std::min(screen.width + 1, 7)), Uniform(1, std::min(screen.height + 1, 5)),
                       Uniform(0, 60), picture);
        }
        ASSERT_EQ(NearestPlacement(screen.View(), picture, running), ReferenceSearch::NearestPlacement(screen, picture))
            << round;
    }
}

TEST(NearestMissTest, ACancelledWalkGivesNothing) {
    TPixelBuffer screen;
    PixelTest::Fill(screen, 8, 8, 0x102030);
    TPixelBuffer picture;
    PixelTest::Fill(picture, 2, 2, 0x405060);
    const TCancelFlag cancelled{true};
    EXPECT_EQ(NearestPixel(screen.View(), 0, cancelled), std::nullopt);
    EXPECT_EQ(NearestPlacement(screen.View(), picture, cancelled), std::nullopt);
}

TEST(NearestMissTest, SimilarityReachedIsTheHighestWhoseToleranceAdmitsTheDifference) {
    for (const auto& [worst, similarity] :
         {std::pair{0, 100}, {1, 99}, {2, 99}, {3, 98}, {12, 95}, {13, 94}, {102, 60}, {103, 59}, {255, 0}}) {
        EXPECT_EQ(SimilarityReached(worst), similarity) << worst;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, FastSearchTest, testing::Values(TLevel::Portable, TLevel::Sse2, TLevel::Avx2),
                         LevelName);

} // namespace
