#pragma once

#include <cstdint>

// The picture the Win32 target window paints, as 0x00RRGGBB at client point (x, y): every channel varies, so a
// capture that swaps channels, flips rows or shifts by a pixel cannot match it.
inline std::uint32_t targetPatternColour(int x, int y) {
    const auto red = static_cast<std::uint32_t>(x * 7 + y) & 0xFF;
    const auto green = static_cast<std::uint32_t>(y * 5) & 0xFF;
    const auto blue = static_cast<std::uint32_t>(x ^ (y * 3)) & 0xFF;
    return red << 16 | green << 8 | blue;
}
