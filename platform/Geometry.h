#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

// Screen point in whole pixels, origin at the top left of the primary screen.
struct TPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle of whole pixels: its top-left corner and its size.
struct TRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The part two rectangles share; nothing when they share no pixel.
inline std::optional<TRect> SharedPart(const TRect& a, const TRect& b) {
    const std::int64_t left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const std::int64_t right = std::min(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
    const std::int64_t bottom = std::min(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return TRect{int(left), int(top), int(right - left), int(bottom - top)};
}
