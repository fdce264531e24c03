#pragma once

#include <cstdint>
#include <optional>

// Row kernels over 3-byte B,G,R pixels or, with `pixelBytes` 4, over 4-byte B,G,R,X pixels whose fourth byte is
// ignored (the layout X servers keep), with SIMD versions picked by what the processor offers. Every kernel reads only
// the bytes of the pixels it is given.
namespace PixelScan {

// Per-channel tolerances already clamped to 0..255.
struct TByteTolerance {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

enum class TLevel { Portable, Sse2, Avx2 };

// Index of the first of `count` pixels equal to the 0x00RRGGBB colour, or -1.
int FindExact(const std::uint8_t* pixels, int count, std::uint32_t color, int pixelBytes = 3);
// Index of the first of `count` pixels whose every channel lies within its tolerance of the colour, or -1.
int FindSimilar(const std::uint8_t* pixels, int count, std::uint32_t color, const TByteTolerance& tolerance,
                int pixelBytes = 3);
// FindSimilar with a tolerance, FindExact without one.
int FindMatching(const std::uint8_t* pixels, int count, std::uint32_t color,
                 const std::optional<TByteTolerance>& tolerance, int pixelBytes = 3);
// The most pixels FindRun looks for at once.
constexpr int MaxRun = 4;
// Index of the first of `count` places where `length` (1 to MaxRun) pixels in a row show `colors` (0x00RRGGBB),
// exactly or within the tolerance, or -1. The length - 1 pixels after the last place are read too.
int FindRun(const std::uint8_t* pixels, int count, const std::uint32_t* colors, int length,
            const std::optional<TByteTolerance>& tolerance, int pixelBytes = 3);
// Whether each of `count` pixels at `a` lies within the tolerance of the pixel at the same place in `b`.
bool AllSimilar(const std::uint8_t* a, const std::uint8_t* b, int count, const TByteTolerance& tolerance,
                int pixelBytes = 3);

// The fastest level this processor runs.
TLevel BestLevel();
// Chooses the kernels, capped at BestLevel (the tests and benchmarks compare the levels).
void UseLevel(TLevel level);

} // namespace PixelScan
