#include "platform/PixelRows.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {
std::uint32_t readPixel(const std::uint8_t* at, int bytesPerPixel, bool msbFirst) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytesPerPixel; ++i) {
        const int byteIndex = msbFirst ? i : bytesPerPixel - 1 - i;
        value = (value << 8) | at[byteIndex];
    }
    return value;
}

// One channel of a pixel, scaled from however many bits its mask has to 8.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8)
        return static_cast<std::uint8_t>(value >> (bits - 8));
    return static_cast<std::uint8_t>(value * 255 / ((1u << bits) - 1));
}

std::uint32_t load32(const std::uint8_t* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void store32(std::uint8_t* at, std::uint32_t value) {
    std::memcpy(at, &value, sizeof value);
}

BgrxRowKernel& currentBgrxKernel() {
    static BgrxRowKernel kernel = bestBgrxRowKernel();
    return kernel;
}
} // namespace

// Four B,G,R,X pixels become three words of packed B,G,R bytes, which the compiler keeps in registers.
void convertBgrxRowPortable(const std::uint8_t* source, int width, std::uint8_t* target) {
    int x = 0;
    for (; x + 4 <= width; x += 4, source += 16, target += 12) {
        const std::uint32_t p0 = load32(source);
        const std::uint32_t p1 = load32(source + 4);
        const std::uint32_t p2 = load32(source + 8);
        const std::uint32_t p3 = load32(source + 12);
        store32(target, (p0 & 0xFFFFFF) | (p1 << 24));
        store32(target + 4, ((p1 >> 8) & 0xFFFF) | (p2 << 16));
        store32(target + 8, ((p2 >> 16) & 0xFF) | (p3 << 8));
    }
    for (; x < width; ++x, source += 4, target += 3) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels per round: each 16-byte load is shuffled into 12 packed bytes, and the four results are merged
// into three 16-byte stores. The last pixels, fewer than sixteen, take the portable loop.
__attribute__((target("ssse3"))) void convertBgrxRowSsse3(const std::uint8_t* source, int width, std::uint8_t* target) {
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    for (; x + 16 <= width; x += 16, source += 64, target += 48) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source)), pack);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 16)), pack);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 32)), pack);
        const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 48)), pack);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16),
                         _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 32),
                         _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    convertBgrxRowPortable(source, width - x, target);
}

namespace {
__attribute__((target("avx2"))) __m256i packedLoad(const std::uint8_t* at) {
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8,
                                          9, 10, 12, 13, 14, -1, -1, -1, -1);
    return _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)), pack);
}

__attribute__((target("avx2"))) __m256i words(__m256i packed, int w0, int w1, int w2, int w3, int w4, int w5, int w6,
                                              int w7) {
    return _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(w0, w1, w2, w3, w4, w5, w6, w7));
}

// The 96 bytes of 32 pixels. Each 32-byte load of eight pixels is shuffled within its lanes into 2 x 12 packed bytes,
// the 4-byte words 0, 1, 2, 4, 5, 6; four loads fill three 32-byte stores with them.
__attribute__((target("avx2"))) void pack32(const std::uint8_t* source, __m256i out[3]) {
    const __m256i a = packedLoad(source);
    const __m256i b = packedLoad(source + 32);
    const __m256i c = packedLoad(source + 64);
    const __m256i d = packedLoad(source + 96);
    out[0] = _mm256_blend_epi32(words(a, 0, 1, 2, 4, 5, 6, 0, 0), words(b, 0, 0, 0, 0, 0, 0, 0, 1), 0xC0);
    out[1] = _mm256_blend_epi32(words(b, 2, 4, 5, 6, 0, 0, 0, 0), words(c, 0, 0, 0, 0, 0, 1, 2, 4), 0xF0);
    out[2] = _mm256_blend_epi32(words(c, 5, 6, 0, 0, 0, 0, 0, 0), words(d, 0, 0, 0, 1, 2, 4, 5, 6), 0xFC);
}
} // namespace

__attribute__((target("avx2"))) void convertBgrxRowAvx2(const std::uint8_t* source, int width, std::uint8_t* target) {
    int x = 0;
    for (; x + 32 <= width; x += 32, source += 128, target += 96) {
        __m256i out[3];
        pack32(source, out);
        for (int i = 0; i < 3; ++i)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 32 * i), out[i]);
    }
    convertBgrxRowSsse3(source, width - x, target);
}

#endif

BgrxRowKernel bestBgrxRowKernel() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2"))
        return convertBgrxRowAvx2;
    if (__builtin_cpu_supports("ssse3"))
        return convertBgrxRowSsse3;
#endif
    return convertBgrxRowPortable;
}

void useBgrxRowKernel(BgrxRowKernel kernel) {
    currentBgrxKernel() = kernel;
}

bool isBgrxLayout(const PixelLayout& layout) {
    return std::endian::native == std::endian::little && layout.bitsPerPixel == 32 && !layout.msbFirst &&
           layout.redMask == 0xFF0000 && layout.greenMask == 0x00FF00 && layout.blueMask == 0x0000FF;
}

void convertPixelRows(const SourceRows& source, int width, int height, const TargetRows& target) {
    if (!isBgrxLayout(source.layout)) {
        convertPixelRowsGeneral(source, width, height, target);
        return;
    }
    const BgrxRowKernel kernel = currentBgrxKernel();
    for (int y = 0; y < height; ++y)
        kernel(source.data + y * source.bytesPerLine, width, target.top + y * target.step);
}

void convertPixelRowsGeneral(const SourceRows& source, int width, int height, const TargetRows& target) {
    const PixelLayout& layout = source.layout;
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = source.data + y * source.bytesPerLine;
        std::uint8_t* to = target.top + y * target.step;
        for (int x = 0; x < width; ++x, from += bytesPerPixel, to += 3) {
            const std::uint32_t pixel = readPixel(from, bytesPerPixel, layout.msbFirst);
            to[0] = channel(pixel, layout.blueMask);
            to[1] = channel(pixel, layout.greenMask);
            to[2] = channel(pixel, layout.redMask);
        }
    }
}
