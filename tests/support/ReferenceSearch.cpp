#include "ReferenceSearch.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace ReferenceSearch {
namespace {

using TPixelTest = std::function<bool(std::uint32_t screenPixel, std::uint32_t wanted)>;
using TPlacementTest = std::function<bool(std::int32_t x, std::int32_t y)>;

bool notFound(std::int32_t& x, std::int32_t& y) {
    x = -1;
    y = -1;
    return false;
}

bool findPixel(const TPixelBuffer& screen, std::uint32_t color, const TPixelTest& test, std::int32_t& x,
               std::int32_t& y) {
    for (std::int32_t row = 0; row < screen.height; ++row) {
        for (std::int32_t column = 0; column < screen.width; ++column) {
            if (test(screen.Pixel(column, row), color)) {
                x = column;
                y = row;
                return true;
            }
        }
    }
    return notFound(x, y);
}

bool fitsAt(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y) {
    return picture.size > 0 && x >= 0 && y >= 0 && std::int64_t{x} + picture.width <= screen.width &&
           std::int64_t{y} + picture.height <= screen.height;
}

// Picture rows in memory order, the bottom one first, each left to right.
bool matchAt(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y,
             const TPixelTest& test) {
    if (!fitsAt(screen, picture, x, y)) {
        return false;
    }
    for (std::int32_t row = picture.height - 1; row >= 0; --row) {
        for (std::int32_t column = 0; column < picture.width; ++column) {
            if (!test(screen.Pixel(x + column, y + row), picture.Pixel(column, row))) {
                return false;
            }
        }
    }
    return true;
}

bool findPlacement(const TPixelBuffer& screen, const TPixelBuffer& picture, const TPlacementTest& test, std::int32_t& x,
                   std::int32_t& y) {
    for (std::int32_t top = 0; top <= screen.height - picture.height; ++top) {
        for (std::int32_t left = 0; left <= screen.width - picture.width; ++left) {
            if (test(left, top)) {
                x = left;
                y = top;
                return true;
            }
        }
    }
    return notFound(x, y);
}

TChannelDistance distance(std::uint32_t a, std::uint32_t b) {
    const auto channel = [&](int shift) {
        return std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF));
    };
    return {channel(16), channel(8), channel(0)};
}

std::int32_t worstAt(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y) {
    std::int32_t worst = 0;
    for (std::int32_t row = 0; row < picture.height; ++row) {
        for (std::int32_t column = 0; column < picture.width; ++column) {
            worst = std::max(worst, distance(screen.Pixel(x + column, y + row), picture.Pixel(column, row)).Largest());
        }
    }
    return worst;
}

bool equal(std::uint32_t a, std::uint32_t b) {
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

} // namespace

bool FindColor(const TPixelBuffer& screen, std::uint32_t color, std::int32_t& x, std::int32_t& y) {
    return findPixel(screen, color, equal, x, y);
}

bool FindColorSimilar(const TPixelBuffer& screen, std::uint32_t color, const TBDSimilar& tolerances, std::int32_t& x,
                      std::int32_t& y) {
    const TPixelTest similar = [&](std::uint32_t a, std::uint32_t b) { return ColorsSimilar(a, b, tolerances); };
    return findPixel(screen, color, similar, x, y);
}

bool MatchAt(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y) {
    return matchAt(screen, picture, x, y, equal);
}

bool MatchAtSimilar(const TPixelBuffer& screen, const TPixelBuffer& picture, const TBDSimilar& tolerances,
                    std::int32_t x, std::int32_t y) {
    const TPixelTest similar = [&](std::uint32_t a, std::uint32_t b) { return ColorsSimilar(a, b, tolerances); };
    return matchAt(screen, picture, x, y, similar);
}

bool FindBitmap(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t& x, std::int32_t& y) {
    const TPlacementTest exact = [&](std::int32_t left, std::int32_t top) {
        return MatchAt(screen, picture, left, top);
    };
    return findPlacement(screen, picture, exact, x, y);
}

bool FindBitmapSimilar(const TPixelBuffer& screen, const TPixelBuffer& picture, const TBDSimilar& tolerances,
                       std::int32_t& x, std::int32_t& y) {
    const TPlacementTest similar = [&](std::int32_t left, std::int32_t top) {
        return MatchAtSimilar(screen, picture, tolerances, left, top);
    };
    return findPlacement(screen, picture, similar, x, y);
}

std::optional<TNearestPixel> NearestPixel(const TPixelBuffer& screen, std::uint32_t color) {
    std::optional<TNearestPixel> nearest;
    for (std::int32_t y = 0; y < screen.height; ++y) {
        for (std::int32_t x = 0; x < screen.width; ++x) {
            const TChannelDistance d = distance(screen.Pixel(x, y), color);
            if (!nearest || d.Largest() < nearest->distance.Largest()) {
                nearest = TNearestPixel{x, y, screen.Pixel(x, y), d};
            }
        }
    }
    return nearest;
}

std::optional<TNearestPlacement> NearestPlacement(const TPixelBuffer& screen, const TPixelBuffer& picture) {
    std::optional<TNearestPlacement> nearest;
    if (picture.width <= 0 || picture.height <= 0) {
        return nearest;
    }
    for (std::int32_t y = 0; y <= screen.height - picture.height; ++y) {
        for (std::int32_t x = 0; x <= screen.width - picture.width; ++x) {
            const std::int32_t worst = worstAt(screen, picture, x, y);
            if (!nearest || worst < nearest->worst) {
                nearest = TNearestPlacement{x, y, worst};
            }
        }
    }
    return nearest;
}

} // namespace ReferenceSearch
