#pragma once

// The targets of the searching clicks the program benchmarks run on a 1920 x 1080 screen: small blocks of a colour
// each and small pictures, each in a cell of its own, in rows right of and below the program's window at the top left.

#include <cstdint>

namespace SearchTargets {
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kCell = 24;
constexpr int kFieldLeft = 720;
constexpr int kFieldTop = 360;
constexpr int kBlockSide = 4;
constexpr int kPictureSide = 12;
constexpr std::uint32_t kBackground = 0x5C6370;

struct Cell {
    int left = 0;
    int top = 0;
};

inline Cell CellOf(int k) {
    constexpr int columns = (kScreenWidth - kFieldLeft) / kCell;
    return {kFieldLeft + kCell * (k % columns), kFieldTop + kCell * (k / columns)};
}

// A colour no other target and nothing of the program's window shows: blue 0x47, which no picture pixel has.
inline std::uint32_t BlockColour(int k) {
    return static_cast<std::uint32_t>(0x13 + k % 211) << 16 | static_cast<std::uint32_t>(0xE1 - k / 211 * 5) << 8 |
           0x47;
}

// Pixel (x, y) of picture k, 0x00RRGGBB.
inline std::uint32_t PicturePixel(int k, int x, int y) {
    return static_cast<std::uint32_t>(((x * 31 + y * 17 + k * 53) & 0xFF) << 16 | ((x * y + k * 7) & 0xFF) << 8 |
                                      (((x + y + k) * 13 & 0x7F) | 0x80));
}
} // namespace SearchTargets
