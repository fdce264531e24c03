#include "pixels/PixelScan.h"

#include <algorithm>
#include <cstdlib>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TAPPORA_PIXELSCAN_X86 1
#endif

namespace PixelScan {
namespace {

struct TPixelBytes {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
};

TPixelBytes bytesOf(std::uint32_t color) {
    return {static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
            static_cast<std::uint8_t>(color >> 16)};
}

TPixelBytes lowerBound(const TPixelBytes& c, const TByteTolerance& t) {
    const auto down = [](int value, int by) { return static_cast<std::uint8_t>(std::max(value - by, 0)); };
    return {down(c.b, t.b), down(c.g, t.g), down(c.r, t.r)};
}

TPixelBytes upperBound(const TPixelBytes& c, const TByteTolerance& t) {
    const auto up = [](int value, int by) { return static_cast<std::uint8_t>(std::min(value + by, 255)); };
    return {up(c.b, t.b), up(c.g, t.g), up(c.r, t.r)};
}

bool inRange(std::uint8_t value, std::uint8_t low, std::uint8_t high) {
    return value >= low && value <= high;
}

template <int PixelBytes> int findExactPortable(const std::uint8_t* pixels, int count, std::uint32_t color) {
    const TPixelBytes c = bytesOf(color);
    for (int i = 0; i < count; ++i, pixels += PixelBytes) {
        if (pixels[0] == c.b && pixels[1] == c.g && pixels[2] == c.r) {
            return i;
        }
    }
    return -1;
}

template <int PixelBytes>
int findSimilarPortable(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance) {
    const TPixelBytes c = bytesOf(color);
    const TPixelBytes low = lowerBound(c, tolerance);
    const TPixelBytes high = upperBound(c, tolerance);
    for (int i = 0; i < count; ++i, pixels += PixelBytes) {
        if (inRange(pixels[0], low.b, high.b) && inRange(pixels[1], low.g, high.g) &&
            inRange(pixels[2], low.r, high.r)) {
            return i;
        }
    }
    return -1;
}

template <int PixelBytes>
bool allSimilarPortable(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance) {
    for (int i = 0; i < count; ++i, a += PixelBytes, b += PixelBytes) {
        if (std::abs(a[0] - b[0]) > tolerance.b || std::abs(a[1] - b[1]) > tolerance.g ||
            std::abs(a[2] - b[2]) > tolerance.r) {
            return false;
        }
    }
    return true;
}

// The byte bounds each pixel of a run must lie within: the colour itself, or the colour widened by the tolerance.
struct TRunBounds {
    TPixelBytes low[MaxRun];
    TPixelBytes high[MaxRun];
    int length = 0;
};

TRunBounds runBounds(const std::uint32_t* colors, int length, const std::optional<TByteTolerance>& tolerance) {
    TRunBounds bounds;
    bounds.length = length;
    for (int j = 0; j < length; ++j) {
        const TPixelBytes c = bytesOf(colors[j]);
        bounds.low[j] = tolerance ? lowerBound(c, *tolerance) : c;
        bounds.high[j] = tolerance ? upperBound(c, *tolerance) : c;
    }
    return bounds;
}

template <int PixelBytes> int findRunPortable(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    for (int i = 0; i < count; ++i, pixels += PixelBytes) {
        bool all = true;
        for (int j = 0; j < run.length && all; ++j) {
            const std::uint8_t* p = pixels + PixelBytes * j;
            all = inRange(p[0], run.low[j].b, run.high[j].b) && inRange(p[1], run.low[j].g, run.high[j].g) &&
                  inRange(p[2], run.low[j].r, run.high[j].r);
        }
        if (all) {
            return i;
        }
    }
    return -1;
}

// Continues a kernel's result after `done` pixels were handled by a wider one.
int offsetResult(int done, int rest) {
    return rest < 0 ? -1 : done + rest;
}

#ifdef TAPPORA_PIXELSCAN_X86

// 96 bytes of one pixel repeated: the period of 3-byte pixels in 16- and 32-byte vectors.
struct alignas(32) TPattern {
    std::uint8_t bytes[96];
};

TPattern repeat(const TPixelBytes& pixel) {
    TPattern pattern{};
    for (int k = 0; k < 96; k += 3) {
        pattern.bytes[k] = pixel.b;
        pattern.bytes[k + 1] = pixel.g;
        pattern.bytes[k + 2] = pixel.r;
    }
    return pattern;
}

TPattern repeat(const TByteTolerance& t) {
    return repeat(TPixelBytes{t.b, t.g, t.r});
}

// 0xFFFF on the 16-bit words made of one pixel's red byte and the next one's blue: every other word (at an even
// offset) lies within one pixel, and each pixel holds exactly one of them (blue-green or green-red).
const TPattern& straddlingWords() {
    static const TPattern words = [] {
        TPattern pattern{};
        for (int k = 0; k < 96; k += 2) {
            const std::uint8_t straddles = k % 3 == 2 ? 0xFF : 0;
            pattern.bytes[k] = straddles;
            pattern.bytes[k + 1] = straddles;
        }
        return pattern;
    }();
    return words;
}

// The channel (0 blue, 1 green, 2 red) of each byte of a 96-byte block.
const TPattern& channels() {
    static const TPattern channel = repeat(TPixelBytes{0, 1, 2});
    return channel;
}

// Byte-match bits of 16 consecutive pixels -> a bit at 3i for each pixel i whose three bytes all matched.
std::uint64_t wholePixels(std::uint64_t byteBits) {
    return byteBits & (byteBits >> 1) & (byteBits >> 2) & 0x249249249249ULL;
}

int firstPixel(std::uint64_t pixelBits) {
    return __builtin_ctzll(pixelBits) / 3;
}

__m128i load16(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
__m128i pattern16(const TPattern& pattern, int part) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(pattern.bytes + 16 * part));
}
std::uint64_t mask16(__m128i v) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(v));
}

// Bytes of x within [low, high], as 0xFF.
__m128i inRange16(__m128i x, __m128i low, __m128i high) {
    return _mm_cmpeq_epi8(x, _mm_min_epu8(_mm_max_epu8(x, low), high));
}

__m128i absDiff16(__m128i a, __m128i b) {
    return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
}

// The first whole pixel among 16 whose byte matches are e0, e1, e2, or -1.
int firstOf16(__m128i e0, __m128i e1, __m128i e2) {
    const std::uint64_t hits = wholePixels(mask16(e0) | mask16(e1) << 16 | mask16(e2) << 32);
    return hits != 0 ? firstPixel(hits) : -1;
}

int findExactSse2(const std::uint8_t* pixels, int count, std::uint32_t color) {
    const TPattern pattern = repeat(bytesOf(color));
    const __m128i c0 = pattern16(pattern, 0), c1 = pattern16(pattern, 1), c2 = pattern16(pattern, 2);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const std::uint8_t* p = pixels + 3 * i;
        const int hit = firstOf16(_mm_cmpeq_epi8(load16(p), c0), _mm_cmpeq_epi8(load16(p + 16), c1),
                                  _mm_cmpeq_epi8(load16(p + 32), c2));
        if (hit >= 0) {
            return i + hit;
        }
    }
    return offsetResult(i, findExactPortable<3>(pixels + 3 * i, count - i, color));
}

int findSimilarSse2(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance) {
    const TPixelBytes c = bytesOf(color);
    const TPattern low = repeat(lowerBound(c, tolerance));
    const TPattern high = repeat(upperBound(c, tolerance));
    const __m128i l0 = pattern16(low, 0), l1 = pattern16(low, 1), l2 = pattern16(low, 2);
    const __m128i h0 = pattern16(high, 0), h1 = pattern16(high, 1), h2 = pattern16(high, 2);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const std::uint8_t* p = pixels + 3 * i;
        const int hit = firstOf16(inRange16(load16(p), l0, h0), inRange16(load16(p + 16), l1, h1),
                                  inRange16(load16(p + 32), l2, h2));
        if (hit >= 0) {
            return i + hit;
        }
    }
    return offsetResult(i, findSimilarPortable<3>(pixels + 3 * i, count - i, color, tolerance));
}

// Byte tests of one 16-byte part of a 48-byte block for every pixel of a run: pixel j of the run is read 3j bytes on.
struct TRunBytes16 {
    __m128i low[MaxRun][3];
    __m128i high[MaxRun][3];
    int length = 0;

    __m128i operator()(const std::uint8_t* block, int part) const {
        __m128i all = _mm_set1_epi8(-1);
        for (int j = 0; j < length; ++j) {
            all = _mm_and_si128(all, inRange16(load16(block + 3 * j + 16 * part), low[j][part], high[j][part]));
        }
        return all;
    }
};

int findRunSse2(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    TRunBytes16 bytes;
    bytes.length = run.length;
    for (int j = 0; j < run.length; ++j) {
        const TPattern low = repeat(run.low[j]);
        const TPattern high = repeat(run.high[j]);
        for (int part = 0; part < 3; ++part) {
            bytes.low[j][part] = pattern16(low, part);
            bytes.high[j][part] = pattern16(high, part);
        }
    }
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const std::uint8_t* p = pixels + 3 * i;
        if (const int hit = firstOf16(bytes(p, 0), bytes(p, 1), bytes(p, 2)); hit >= 0) {
            return i + hit;
        }
    }
    return offsetResult(i, findRunPortable<3>(pixels + 3 * i, count - i, run));
}

bool allSimilarSse2(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance) {
    const TPattern limit = repeat(tolerance);
    const __m128i t0 = pattern16(limit, 0), t1 = pattern16(limit, 1), t2 = pattern16(limit, 2);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const int k = 3 * i;
        const __m128i over =
            _mm_or_si128(_mm_or_si128(_mm_subs_epu8(absDiff16(load16(a + k), load16(b + k)), t0),
                                      _mm_subs_epu8(absDiff16(load16(a + k + 16), load16(b + k + 16)), t1)),
                         _mm_subs_epu8(absDiff16(load16(a + k + 32), load16(b + k + 32)), t2));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(over, _mm_setzero_si128())) != 0xFFFF) {
            return false;
        }
    }
    return allSimilarPortable<3>(a + 3 * i, b + 3 * i, count - i, tolerance);
}

// 4-byte pixels: one pixel to a 32-bit lane, its fourth byte masked off or given the bounds 0..255 (a tolerance of
// 255).

// The pixel's bytes as one lane, with `fourth` as its fourth byte.
std::uint32_t lane(const TPixelBytes& pixel, std::uint8_t fourth) {
    return static_cast<std::uint32_t>(pixel.b | pixel.g << 8 | pixel.r << 16) | std::uint32_t{fourth} << 24;
}

// The widths of the bounds of a pixel above its low bytes.
TPixelBytes widthOf(const TPixelBytes& low, const TPixelBytes& high) {
    return {static_cast<std::uint8_t>(high.b - low.b), static_cast<std::uint8_t>(high.g - low.g),
            static_cast<std::uint8_t>(high.r - low.r)};
}

__m128i lane16(const TPixelBytes& pixel, std::uint8_t fourth) {
    return _mm_set1_epi32(static_cast<int>(lane(pixel, fourth)));
}

// A bit for each lane of 4 whose bytes are all ones.
unsigned laneBits16(__m128i lanes) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(lanes)));
}

// Zero where a byte lies within [low, low + width]: the byte less low, wrapping below it, less width, saturating.
__m128i outside16(__m128i x, __m128i low, __m128i width) {
    return _mm_subs_epu8(_mm_sub_epi8(x, low), width);
}

// The first of at least 4 places whose lane `matches` (given the first of 4 places) sets to all ones, or -1. Where
// none of 16 places matches, one mask of them all is the only test. The last 4 places are tested as one vector that
// may overlap places already tested (none of which matched).
template <class TMatches> int firstMatch4Sse2(int count, const TMatches& matches) {
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i m0 = matches(i), m1 = matches(i + 4), m2 = matches(i + 8), m3 = matches(i + 12);
        if (laneBits16(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) != 0) {
            return i + __builtin_ctz(laneBits16(m0) | laneBits16(m1) << 4 | laneBits16(m2) << 8 | laneBits16(m3) << 12);
        }
    }
    for (; i < count; i += 4) {
        const int from = std::min(i, count - 4);
        if (const unsigned bits = laneBits16(matches(from)); bits != 0) {
            return from + __builtin_ctz(bits);
        }
    }
    return -1;
}

// Each lane all ones where the pixel's three bytes equal the colour's.
struct TExactLanes16 {
    const std::uint8_t* pixels;
    __m128i color;
    __m128i colorBytes = _mm_set1_epi32(0xFFFFFF);

    __m128i operator()(int i) const {
        return _mm_cmpeq_epi32(_mm_and_si128(load16(pixels + 4 * i), colorBytes), color);
    }
};

// Each lane all ones where the pixel lies within the bounds.
struct TRangeLanes16 {
    const std::uint8_t* pixels;
    __m128i low;
    __m128i width;

    __m128i operator()(int i) const {
        return _mm_cmpeq_epi32(outside16(load16(pixels + 4 * i), low, width), _mm_setzero_si128());
    }
};

// Each lane all ones where the run starts at that place: pixel j of the run (1 to MaxRun pixels) lies within bounds j.
struct TRunLanes16 {
    const std::uint8_t* pixels;
    __m128i low[MaxRun];
    __m128i width[MaxRun];
    int length = 0;

    __m128i operator()(int i) const {
        __m128i any = _mm_setzero_si128();
        for (int j = 0; j < length; ++j) {
            any = _mm_or_si128(any, outside16(load16(pixels + 4 * (i + j)), low[j], width[j]));
        }
        return _mm_cmpeq_epi32(any, _mm_setzero_si128());
    }
};

int findExact4Sse2(const std::uint8_t* pixels, int count, std::uint32_t color) {
    if (count < 4) {
        return findExactPortable<4>(pixels, count, color);
    }
    return firstMatch4Sse2(count, TExactLanes16{pixels, lane16(bytesOf(color), 0)});
}

int findSimilar4Sse2(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance) {
    if (count < 4) {
        return findSimilarPortable<4>(pixels, count, color, tolerance);
    }
    const TPixelBytes c = bytesOf(color);
    const TPixelBytes low = lowerBound(c, tolerance);
    return firstMatch4Sse2(count,
                           TRangeLanes16{pixels, lane16(low, 0), lane16(widthOf(low, upperBound(c, tolerance)), 0xFF)});
}

int findRun4Sse2(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    if (count < 4) {
        return findRunPortable<4>(pixels, count, run);
    }
    TRunLanes16 lanes{pixels, {}, {}, run.length};
    for (int j = 0; j < run.length; ++j) {
        lanes.low[j] = lane16(run.low[j], 0);
        lanes.width[j] = lane16(widthOf(run.low[j], run.high[j]), 0xFF);
    }
    return firstMatch4Sse2(count, lanes);
}

// The bytes of 4 pixels of `a` beyond the tolerance of those of `b`, zero where none is.
__m128i over16(const std::uint8_t* a, const std::uint8_t* b, __m128i limit) {
    return _mm_subs_epu8(absDiff16(load16(a), load16(b)), limit);
}

bool allZero16(__m128i v) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF;
}

// The last 4 pixels are tested as one vector that may overlap pixels already tested.
bool allSimilar4Sse2(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance) {
    if (count < 4) {
        return allSimilarPortable<4>(a, b, count, tolerance);
    }
    const __m128i limit = lane16(TPixelBytes{tolerance.b, tolerance.g, tolerance.r}, 0xFF);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const int k = 4 * i;
        if (!allZero16(_mm_or_si128(
                _mm_or_si128(over16(a + k, b + k, limit), over16(a + k + 16, b + k + 16, limit)),
                _mm_or_si128(over16(a + k + 32, b + k + 32, limit), over16(a + k + 48, b + k + 48, limit))))) {
            return false;
        }
    }
    for (; i < count; i += 4) {
        const int k = 4 * std::min(i, count - 4);
        if (!allZero16(over16(a + k, b + k, limit))) {
            return false;
        }
    }
    return true;
}

#define TAPPORA_AVX2 __attribute__((target("avx2")))

TAPPORA_AVX2 __m256i load32(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
TAPPORA_AVX2 __m256i pattern32(const TPattern& pattern, int part) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(pattern.bytes + 32 * part));
}
TAPPORA_AVX2 std::uint64_t mask32(__m256i v) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(v));
}

TAPPORA_AVX2 __m256i absDiff32(__m256i a, __m256i b) {
    return _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
}

// Byte-match masks of 96 bytes (32 pixels) -> the first whole pixel among them, or -1.
TAPPORA_AVX2 int firstOf32(__m256i e0, __m256i e1, __m256i e2) {
    const std::uint64_t m0 = mask32(e0), m1 = mask32(e1), m2 = mask32(e2);
    if (const std::uint64_t hits = wholePixels(m0 | (m1 & 0xFFFF) << 32)) {
        return firstPixel(hits);
    }
    if (const std::uint64_t hits = wholePixels(m1 >> 16 | m2 << 16)) {
        return 16 + firstPixel(hits);
    }
    return -1;
}

// Part 0, 1 or 2 of a 96-byte block of the pixel repeated, built from its bytes in one shuffle.
TAPPORA_AVX2 __m256i pixel32(const TPixelBytes& pixel, int part) {
    const int bgr = pixel.b | pixel.g << 8 | pixel.r << 16;
    return _mm256_shuffle_epi8(_mm256_set1_epi32(bgr), pattern32(channels(), part));
}

// The bytes of one 32-byte part of a 96-byte block (32 pixels), each zero where it matches the colour's byte.
struct TExactDistance32 {
    __m256i color[3];

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        return _mm256_xor_si256(load32(block + 32 * part), color[part]);
    }
};

// Zero where a byte lies within [low, low + width]: the byte less low, wrapping below it, less width, saturating.
TAPPORA_AVX2 __m256i outside32(__m256i x, __m256i low, __m256i width) {
    return _mm256_subs_epu8(_mm256_sub_epi8(x, low), width);
}

// The bounds of one pixel as its low bytes and the widths above them.
struct TRangeBytes32 {
    __m256i low[3];
    __m256i width[3];

    // The 32 bytes at `bytes`, which are part `part` of a 96-byte block.
    TAPPORA_AVX2 __m256i outside(const std::uint8_t* bytes, int part) const {
        return outside32(load32(bytes), low[part], width[part]);
    }
};

TAPPORA_AVX2 TRangeBytes32 rangeBytes32(const TPixelBytes& low, const TPixelBytes& high) {
    const TPixelBytes width = widthOf(low, high);
    return {{pixel32(low, 0), pixel32(low, 1), pixel32(low, 2)},
            {pixel32(width, 0), pixel32(width, 1), pixel32(width, 2)}};
}

// The bytes of one 32-byte part of a 96-byte block, each zero where it lies within the colour's channel bounds.
struct TRangeDistance32 {
    TRangeBytes32 bounds;

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        return bounds.outside(block + 32 * part, part);
    }
};

// The same for every pixel of a run: pixel j of the run is read 3j bytes on, and a byte is zero where all match.
struct TRunDistance32 {
    TRangeBytes32 bounds[MaxRun];
    int length = 0;

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        __m256i any = bounds[0].outside(block + 32 * part, part);
        for (int j = 1; j < length; ++j) {
            any = _mm256_or_si256(any, bounds[j].outside(block + 3 * j + 32 * part, part));
        }
        return any;
    }
};

template <class TDistance> TAPPORA_AVX2 int firstMatch32(const std::uint8_t* block, const TDistance& distance) {
    const __m256i zero = _mm256_setzero_si256();
    return firstOf32(_mm256_cmpeq_epi8(distance(block, 0), zero), _mm256_cmpeq_epi8(distance(block, 1), zero),
                     _mm256_cmpeq_epi8(distance(block, 2), zero));
}

// Part `part` of four 96-byte blocks in a row, as the least of each 16-bit word among them.
template <class TDistance>
TAPPORA_AVX2 __m256i leastWords(const std::uint8_t* blocks, const TDistance& distance, int part) {
    return _mm256_min_epu16(_mm256_min_epu16(distance(blocks, part), distance(blocks + 96, part)),
                            _mm256_min_epu16(distance(blocks + 192, part), distance(blocks + 288, part)));
}

// The words of part `part` of a 96-byte block that lie within one pixel; the others set to all ones.
TAPPORA_AVX2 __m256i within(__m256i words, int part) {
    return _mm256_or_si256(words, pattern32(straddlingWords(), part));
}

// Whether any of 128 pixels may match: a pixel whose three bytes match has its one whole word at zero. Where no
// pixel matches, this test per 128 pixels is all the work; where one may, the blocks are tested pixel by pixel.
template <class TDistance> TAPPORA_AVX2 bool mayMatch128(const std::uint8_t* blocks, const TDistance& distance) {
    const __m256i least = _mm256_min_epu16(
        _mm256_min_epu16(within(leastWords(blocks, distance, 0), 0), within(leastWords(blocks, distance, 1), 1)),
        within(leastWords(blocks, distance, 2), 2));
    const __m256i zeros = _mm256_cmpeq_epi16(least, _mm256_setzero_si256());
    return !_mm256_testz_si256(zeros, zeros);
}

// Out of line, so that the scan keeps none of its distances for it: they are read again on the rare blocks it tests.
template <class TDistance>
__attribute__((noinline)) TAPPORA_AVX2 int firstMatch128(const std::uint8_t* blocks, const TDistance& distance) {
    for (int block = 0; block < 4; ++block) {
        if (const int hit = firstMatch32(blocks + 96 * block, distance); hit >= 0) {
            return 32 * block + hit;
        }
    }
    return -1;
}

// The first matching pixel of at least 32, or -1. The last 32 pixels are tested as one block that may overlap pixels
// already tested (none of which matched), so that no narrower kernel is needed for the rest.
template <class TDistance> TAPPORA_AVX2 int scanAvx2(const std::uint8_t* pixels, int count, const TDistance& distance) {
    int i = 0;
    for (; i + 128 <= count; i += 128) {
        const std::uint8_t* p = pixels + 3 * i;
        if (!mayMatch128(p, distance)) {
            continue;
        }
        if (const int hit = firstMatch128(p, distance); hit >= 0) {
            return i + hit;
        }
    }
    for (; i < count; i += 32) {
        const int from = std::min(i, count - 32);
        if (const int hit = firstMatch32(pixels + 3 * from, distance); hit >= 0) {
            return from + hit;
        }
    }
    return -1;
}

TAPPORA_AVX2 int findExactAvx2(const std::uint8_t* pixels, int count, std::uint32_t color) {
    if (count < 32) {
        return findExactSse2(pixels, count, color);
    }
    const TPixelBytes c = bytesOf(color);
    return scanAvx2(pixels, count, TExactDistance32{{pixel32(c, 0), pixel32(c, 1), pixel32(c, 2)}});
}

TAPPORA_AVX2 int findSimilarAvx2(const std::uint8_t* pixels, int count, std::uint32_t color,
                                 const TByteTolerance& tolerance) {
    if (count < 32) {
        return findSimilarSse2(pixels, count, color, tolerance);
    }
    const TPixelBytes c = bytesOf(color);
    return scanAvx2(pixels, count, TRangeDistance32{rangeBytes32(lowerBound(c, tolerance), upperBound(c, tolerance))});
}

TAPPORA_AVX2 int findRunAvx2(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    if (count < 32) {
        return findRunSse2(pixels, count, run);
    }
    TRunDistance32 distance;
    distance.length = run.length;
    for (int j = 0; j < run.length; ++j) {
        distance.bounds[j] = rangeBytes32(run.low[j], run.high[j]);
    }
    return scanAvx2(pixels, count, distance);
}

TAPPORA_AVX2 bool allSimilarAvx2(const std::uint8_t* a, const std::uint8_t* b, int count,
                                 const TByteTolerance& tolerance) {
    const TPattern limit = repeat(tolerance);
    const __m256i t0 = pattern32(limit, 0), t1 = pattern32(limit, 1), t2 = pattern32(limit, 2);
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const int k = 3 * i;
        const __m256i over =
            _mm256_or_si256(_mm256_or_si256(_mm256_subs_epu8(absDiff32(load32(a + k), load32(b + k)), t0),
                                            _mm256_subs_epu8(absDiff32(load32(a + k + 32), load32(b + k + 32)), t1)),
                            _mm256_subs_epu8(absDiff32(load32(a + k + 64), load32(b + k + 64)), t2));
        if (!_mm256_testz_si256(over, over)) {
            return false;
        }
    }
    return allSimilarSse2(a + 3 * i, b + 3 * i, count - i, tolerance);
}

// A bit for each lane of 8 whose bytes are all ones.
TAPPORA_AVX2 unsigned laneBits32(__m256i lanes) {
    return static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(lanes)));
}

// The first of at least 8 places whose lane `distance` (given the first of 8 places) sets to zero, or -1. Where none
// of 32 places matches, the least of their lanes is the only test. The last 8 places are tested as one vector that
// may overlap places already tested (none of which matched).
template <class TDistance> TAPPORA_AVX2 int firstMatch4Avx2(int count, const TDistance& distance) {
    const __m256i zero = _mm256_setzero_si256();
    const auto bits = [zero](__m256i lanes) TAPPORA_AVX2 { return laneBits32(_mm256_cmpeq_epi32(lanes, zero)); };
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i d0 = distance(i), d1 = distance(i + 8), d2 = distance(i + 16), d3 = distance(i + 24);
        if (bits(_mm256_min_epu32(_mm256_min_epu32(d0, d1), _mm256_min_epu32(d2, d3))) != 0) {
            return i + __builtin_ctz(bits(d0) | bits(d1) << 8 | bits(d2) << 16 | bits(d3) << 24);
        }
    }
    for (; i < count; i += 8) {
        const int from = std::min(i, count - 8);
        if (const unsigned found = bits(distance(from)); found != 0) {
            return from + __builtin_ctz(found);
        }
    }
    return -1;
}

// Each lane zero where the pixel's three bytes equal the colour's.
struct TExactLanes32 {
    const std::uint8_t* pixels;
    __m256i color;

    TAPPORA_AVX2 __m256i operator()(int i) const {
        return _mm256_slli_epi32(_mm256_xor_si256(load32(pixels + 4 * i), color), 8);
    }
};

// Each lane zero where the pixel lies within the bounds.
struct TRangeLanes32 {
    const std::uint8_t* pixels;
    __m256i low;
    __m256i width;

    TAPPORA_AVX2 __m256i operator()(int i) const { return outside32(load32(pixels + 4 * i), low, width); }
};

// Each lane zero where the run starts at that place.
struct TRunLanes32 {
    const std::uint8_t* pixels;
    __m256i low[MaxRun];
    __m256i width[MaxRun];
    int length = 0;

    TAPPORA_AVX2 __m256i operator()(int i) const {
        __m256i any = _mm256_setzero_si256();
        for (int j = 0; j < length; ++j) {
            any = _mm256_or_si256(any, outside32(load32(pixels + 4 * (i + j)), low[j], width[j]));
        }
        return any;
    }
};

TAPPORA_AVX2 __m256i lane32(const TPixelBytes& pixel, std::uint8_t fourth) {
    return _mm256_set1_epi32(static_cast<int>(lane(pixel, fourth)));
}

TAPPORA_AVX2 int findExact4Avx2(const std::uint8_t* pixels, int count, std::uint32_t color) {
    if (count < 8) {
        return findExact4Sse2(pixels, count, color);
    }
    return firstMatch4Avx2(count, TExactLanes32{pixels, lane32(bytesOf(color), 0)});
}

TAPPORA_AVX2 int findSimilar4Avx2(const std::uint8_t* pixels, int count, std::uint32_t color,
                                  const TByteTolerance& tolerance) {
    if (count < 8) {
        return findSimilar4Sse2(pixels, count, color, tolerance);
    }
    const TPixelBytes c = bytesOf(color);
    const TPixelBytes low = lowerBound(c, tolerance);
    return firstMatch4Avx2(count,
                           TRangeLanes32{pixels, lane32(low, 0), lane32(widthOf(low, upperBound(c, tolerance)), 0xFF)});
}

TAPPORA_AVX2 int findRun4Avx2(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    if (count < 8) {
        return findRun4Sse2(pixels, count, run);
    }
    TRunLanes32 lanes{pixels, {}, {}, run.length};
    for (int j = 0; j < run.length; ++j) {
        lanes.low[j] = lane32(run.low[j], 0);
        lanes.width[j] = lane32(widthOf(run.low[j], run.high[j]), 0xFF);
    }
    return firstMatch4Avx2(count, lanes);
}

// The bytes of 8 pixels of `a` beyond the tolerance of those of `b`, zero where none is.
TAPPORA_AVX2 __m256i over32(const std::uint8_t* a, const std::uint8_t* b, __m256i limit) {
    return _mm256_subs_epu8(absDiff32(load32(a), load32(b)), limit);
}

// The last 8 pixels are tested as one vector that may overlap pixels already tested.
TAPPORA_AVX2 bool allSimilar4Avx2(const std::uint8_t* a, const std::uint8_t* b, int count,
                                  const TByteTolerance& tolerance) {
    if (count < 8) {
        return allSimilar4Sse2(a, b, count, tolerance);
    }
    const __m256i limit = lane32(TPixelBytes{tolerance.b, tolerance.g, tolerance.r}, 0xFF);
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const int k = 4 * i;
        const __m256i over = _mm256_or_si256(
            _mm256_or_si256(over32(a + k, b + k, limit), over32(a + k + 32, b + k + 32, limit)),
            _mm256_or_si256(over32(a + k + 64, b + k + 64, limit), over32(a + k + 96, b + k + 96, limit)));
        if (!_mm256_testz_si256(over, over)) {
            return false;
        }
    }
    for (; i < count; i += 8) {
        const int k = 4 * std::min(i, count - 8);
        const __m256i over = over32(a + k, b + k, limit);
        if (!_mm256_testz_si256(over, over)) {
            return false;
        }
    }
    return true;
}

#endif

// The kernels of one pixel size.
struct TKernels {
    int (*findExact)(const std::uint8_t*, int, std::uint32_t);
    int (*findSimilar)(const std::uint8_t*, int, std::uint32_t, const TByteTolerance&);
    bool (*allSimilar)(const std::uint8_t*, const std::uint8_t*, int, const TByteTolerance&);
    int (*findRun)(const std::uint8_t*, int, const TRunBounds&);
};

template <int PixelBytes> constexpr TKernels portableKernels() {
    return {findExactPortable<PixelBytes>, findSimilarPortable<PixelBytes>, allSimilarPortable<PixelBytes>,
            findRunPortable<PixelBytes>};
}

struct TLevelKernels {
    TKernels bgr;
    TKernels bgrx;

    const TKernels& of(int pixelBytes) const { return pixelBytes == 4 ? bgrx : bgr; }
};

TLevelKernels kernelsFor(TLevel level) {
#ifdef TAPPORA_PIXELSCAN_X86
    switch (level) {
    case TLevel::Avx2:
        return {{findExactAvx2, findSimilarAvx2, allSimilarAvx2, findRunAvx2},
                {findExact4Avx2, findSimilar4Avx2, allSimilar4Avx2, findRun4Avx2}};
    case TLevel::Sse2:
        return {{findExactSse2, findSimilarSse2, allSimilarSse2, findRunSse2},
                {findExact4Sse2, findSimilar4Sse2, allSimilar4Sse2, findRun4Sse2}};
    case TLevel::Portable:
        break;
    }
#else
    (void)level;
#endif
    return {portableKernels<3>(), portableKernels<4>()};
}

TLevel detectLevel() {
#ifdef TAPPORA_PIXELSCAN_X86
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? TLevel::Avx2 : TLevel::Sse2;
#else
    return TLevel::Portable;
#endif
}

TLevelKernels& active() {
    static TLevelKernels current = kernelsFor(BestLevel());
    return current;
}

} // namespace

int FindExact(const std::uint8_t* pixels, int count, std::uint32_t color, int pixelBytes) {
    return active().of(pixelBytes).findExact(pixels, count, color);
}

int FindSimilar(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance,
                int pixelBytes) {
    return active().of(pixelBytes).findSimilar(pixels, count, color, tolerance);
}

int FindMatching(const std::uint8_t* pixels, int count, std::uint32_t color,
                 const std::optional<TByteTolerance>& tolerance, int pixelBytes) {
    return tolerance ? FindSimilar(pixels, count, color, *tolerance, pixelBytes)
                     : FindExact(pixels, count, color, pixelBytes);
}

bool AllSimilar(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance,
                int pixelBytes) {
    return active().of(pixelBytes).allSimilar(a, b, count, tolerance);
}

int FindRun(const std::uint8_t* pixels, int count, const std::uint32_t* colors, int length,
            const std::optional<TByteTolerance>& tolerance, int pixelBytes) {
    if (length == 1) {
        return FindMatching(pixels, count, colors[0], tolerance, pixelBytes);
    }
    return active().of(pixelBytes).findRun(pixels, count, runBounds(colors, length, tolerance));
}

TLevel BestLevel() {
    static const TLevel best = detectLevel();
    return best;
}

void UseLevel(TLevel level) {
    const TLevel capped = std::min(level, BestLevel());
    active() = kernelsFor(capped);
}

} // namespace PixelScan
