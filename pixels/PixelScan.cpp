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

int findExactPortable(const std::uint8_t* pixels, int count, std::uint32_t color) {
    const TPixelBytes c = bytesOf(color);
    for (int i = 0; i < count; ++i, pixels += 3) {
        if (pixels[0] == c.b && pixels[1] == c.g && pixels[2] == c.r) {
            return i;
        }
    }
    return -1;
}

int findSimilarPortable(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance) {
    const TPixelBytes c = bytesOf(color);
    const TPixelBytes low = lowerBound(c, tolerance);
    const TPixelBytes high = upperBound(c, tolerance);
    for (int i = 0; i < count; ++i, pixels += 3) {
        if (inRange(pixels[0], low.b, high.b) && inRange(pixels[1], low.g, high.g) &&
            inRange(pixels[2], low.r, high.r)) {
            return i;
        }
    }
    return -1;
}

bool allSimilarPortable(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance) {
    for (int i = 0; i < count; ++i, a += 3, b += 3) {
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

int findRunPortable(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    for (int i = 0; i < count; ++i, pixels += 3) {
        bool all = true;
        for (int j = 0; j < run.length && all; ++j) {
            const std::uint8_t* p = pixels + 3 * j;
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

// 0xFF on the blue and green byte of each pixel: where a blue-green or green-red pair of one pixel starts.
const TPattern& pairStarts() {
    static const TPattern starts = repeat(TPixelBytes{0xFF, 0xFF, 0});
    return starts;
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
    return offsetResult(i, findExactPortable(pixels + 3 * i, count - i, color));
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
    return offsetResult(i, findSimilarPortable(pixels + 3 * i, count - i, color, tolerance));
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
    return offsetResult(i, findRunPortable(pixels + 3 * i, count - i, run));
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
    return allSimilarPortable(a + 3 * i, b + 3 * i, count - i, tolerance);
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

TAPPORA_AVX2 __m256i inRange32(__m256i x, __m256i low, __m256i high) {
    return _mm256_cmpeq_epi8(x, _mm256_min_epu8(_mm256_max_epu8(x, low), high));
}

TAPPORA_AVX2 __m256i absDiff32(__m256i a, __m256i b) {
    return _mm256_or_si256(_mm256_subs_epu8(a, b), _mm256_subs_epu8(b, a));
}

// Matching byte pairs within one pixel. Every pixel whose three bytes match keeps its blue-green or its green-red
// pair inside one 16-byte lane (the byte shift works within lanes), so a block without such a pair holds no match.
// Where no pixel matches, one test per 32 pixels replaces the mask arithmetic (which pays only for the SSE2 kernels).
TAPPORA_AVX2 __m256i pairs32(__m256i matches, __m256i starts) {
    return _mm256_and_si256(_mm256_and_si256(matches, _mm256_srli_si256(matches, 1)), starts);
}

// The 96-byte pair-start pattern: whether a block of 32 pixels may hold a match.
struct TPairFilter32 {
    __m256i s0, s1, s2;

    TAPPORA_AVX2 __m256i pairs(__m256i e0, __m256i e1, __m256i e2) const {
        return _mm256_or_si256(_mm256_or_si256(pairs32(e0, s0), pairs32(e1, s1)), pairs32(e2, s2));
    }
};

TAPPORA_AVX2 TPairFilter32 pairFilter32() {
    return {pattern32(pairStarts(), 0), pattern32(pairStarts(), 1), pattern32(pairStarts(), 2)};
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

// Byte tests of one 32-byte part of a 96-byte block: equal to the colour's bytes.
struct TEqualBytes32 {
    __m256i c0, c1, c2;

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        return _mm256_cmpeq_epi8(load32(block + 32 * part), part == 0 ? c0 : part == 1 ? c1 : c2);
    }
};

// Byte tests of one 32-byte part of a 96-byte block: within the colour's channel bounds.
struct TRangeBytes32 {
    __m256i l0, l1, l2, h0, h1, h2;

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        return part == 0   ? inRange32(load32(block), l0, h0)
               : part == 1 ? inRange32(load32(block + 32), l1, h1)
                           : inRange32(load32(block + 64), l2, h2);
    }
};

// The first matching pixel among the first `done` pixels, or -1 with `done` the pixels tested (a multiple of 32).
// Blocks of 64 pixels share one filter test, the cheapest step where no pixel matches.
template <class TBytes>
TAPPORA_AVX2 int scanAvx2(const std::uint8_t* pixels, int count, const TBytes& bytes, int& done) {
    const TPairFilter32 filter = pairFilter32();
    int i = 0;
    for (; i + 64 <= count; i += 64) {
        const std::uint8_t* p = pixels + 3 * i;
        const __m256i e0 = bytes(p, 0), e1 = bytes(p, 1), e2 = bytes(p, 2);
        const __m256i e3 = bytes(p + 96, 0), e4 = bytes(p + 96, 1), e5 = bytes(p + 96, 2);
        const __m256i pairs = _mm256_or_si256(filter.pairs(e0, e1, e2), filter.pairs(e3, e4, e5));
        if (_mm256_testz_si256(pairs, pairs)) {
            continue;
        }
        if (const int hit = firstOf32(e0, e1, e2); hit >= 0) {
            return i + hit;
        }
        if (const int hit = firstOf32(e3, e4, e5); hit >= 0) {
            return i + 32 + hit;
        }
    }
    for (; i + 32 <= count; i += 32) {
        const std::uint8_t* p = pixels + 3 * i;
        if (const int hit = firstOf32(bytes(p, 0), bytes(p, 1), bytes(p, 2)); hit >= 0) {
            return i + hit;
        }
    }
    done = i;
    return -1;
}

TAPPORA_AVX2 int findExactAvx2(const std::uint8_t* pixels, int count, std::uint32_t color) {
    const TPattern pattern = repeat(bytesOf(color));
    const TEqualBytes32 bytes{pattern32(pattern, 0), pattern32(pattern, 1), pattern32(pattern, 2)};
    int done = 0;
    if (const int hit = scanAvx2(pixels, count, bytes, done); hit >= 0) {
        return hit;
    }
    return offsetResult(done, findExactSse2(pixels + 3 * done, count - done, color));
}

TAPPORA_AVX2 int findSimilarAvx2(const std::uint8_t* pixels, int count, std::uint32_t color,
                                 const TByteTolerance& tolerance) {
    const TPixelBytes c = bytesOf(color);
    const TPattern low = repeat(lowerBound(c, tolerance));
    const TPattern high = repeat(upperBound(c, tolerance));
    const TRangeBytes32 bytes{pattern32(low, 0),  pattern32(low, 1),  pattern32(low, 2),
                              pattern32(high, 0), pattern32(high, 1), pattern32(high, 2)};
    int done = 0;
    if (const int hit = scanAvx2(pixels, count, bytes, done); hit >= 0) {
        return hit;
    }
    return offsetResult(done, findSimilarSse2(pixels + 3 * done, count - done, color, tolerance));
}

// Byte tests of one 32-byte part of a 96-byte block for every pixel of a run.
struct TRunBytes32 {
    __m256i low[MaxRun][3];
    __m256i high[MaxRun][3];
    int length = 0;

    TAPPORA_AVX2 __m256i operator()(const std::uint8_t* block, int part) const {
        __m256i all = _mm256_set1_epi8(-1);
        for (int j = 0; j < length; ++j) {
            all = _mm256_and_si256(all, inRange32(load32(block + 3 * j + 32 * part), low[j][part], high[j][part]));
        }
        return all;
    }
};

TAPPORA_AVX2 int findRunAvx2(const std::uint8_t* pixels, int count, const TRunBounds& run) {
    TRunBytes32 bytes;
    bytes.length = run.length;
    for (int j = 0; j < run.length; ++j) {
        const TPattern low = repeat(run.low[j]);
        const TPattern high = repeat(run.high[j]);
        for (int part = 0; part < 3; ++part) {
            bytes.low[j][part] = pattern32(low, part);
            bytes.high[j][part] = pattern32(high, part);
        }
    }
    int done = 0;
    if (const int hit = scanAvx2(pixels, count, bytes, done); hit >= 0) {
        return hit;
    }
    return offsetResult(done, findRunSse2(pixels + 3 * done, count - done, run));
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

#endif

struct TKernels {
    int (*findExact)(const std::uint8_t*, int, std::uint32_t);
    int (*findSimilar)(const std::uint8_t*, int, std::uint32_t, const TByteTolerance&);
    bool (*allSimilar)(const std::uint8_t*, const std::uint8_t*, int, const TByteTolerance&);
    int (*findRun)(const std::uint8_t*, int, const TRunBounds&);
};

TKernels kernelsFor(TLevel level) {
#ifdef TAPPORA_PIXELSCAN_X86
    switch (level) {
    case TLevel::Avx2:
        return {findExactAvx2, findSimilarAvx2, allSimilarAvx2, findRunAvx2};
    case TLevel::Sse2:
        return {findExactSse2, findSimilarSse2, allSimilarSse2, findRunSse2};
    case TLevel::Portable:
        break;
    }
#else
    (void)level;
#endif
    return {findExactPortable, findSimilarPortable, allSimilarPortable, findRunPortable};
}

TLevel detectLevel() {
#ifdef TAPPORA_PIXELSCAN_X86
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? TLevel::Avx2 : TLevel::Sse2;
#else
    return TLevel::Portable;
#endif
}

TKernels& active() {
    static TKernels current = kernelsFor(BestLevel());
    return current;
}

} // namespace

int FindExact(const std::uint8_t* pixels, int count, std::uint32_t color) {
    return active().findExact(pixels, count, color);
}

int FindSimilar(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance) {
    return active().findSimilar(pixels, count, color, tolerance);
}

int FindMatching(const std::uint8_t* pixels, int count, std::uint32_t color,
                 const std::optional<TByteTolerance>& tolerance) {
    return tolerance ? FindSimilar(pixels, count, color, *tolerance) : FindExact(pixels, count, color);
}

bool AllSimilar(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance) {
    return active().allSimilar(a, b, count, tolerance);
}

int FindRun(const std::uint8_t* pixels, int count, const std::uint32_t* colors, int length,
            const std::optional<TByteTolerance>& tolerance) {
    if (length == 1) {
        return FindMatching(pixels, count, colors[0], tolerance);
    }
    return active().findRun(pixels, count, runBounds(colors, length, tolerance));
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
