#pragma once

#include <cstdint>

// Per-channel tolerances, red, green, blue.
struct TBDSimilar {
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
};

// Buffer colour form 0x00RRGGBB <-> platform colour value 0x00BBGGRR; the top byte is dropped.
std::uint32_t SwapRB(std::uint32_t color);
// Channel test in blue, green, red order; a difference equal to the tolerance passes.
bool ColorsSimilar(std::uint32_t a, std::uint32_t b, const TBDSimilar& tolerances);
// Per-channel tolerance for a similarity percentage: (100 - s) * 255 / 100 truncated toward zero.
std::int32_t SimilarityTolerance(std::int32_t similarity);
