#include "pixels/NearestMiss.h"

#include <algorithm>
#include <cstdlib>

namespace {

TChannelDistance distanceOf(const std::uint8_t* pixel, std::uint32_t color) {
    return {std::abs(pixel[2] - static_cast<std::int32_t>((color >> 16) & 0xFF)),
            std::abs(pixel[1] - static_cast<std::int32_t>((color >> 8) & 0xFF)),
            std::abs(pixel[0] - static_cast<std::int32_t>(color & 0xFF))};
}

// Placement rows searched between two looks at the cancel flag: the anchor choice each search begins with costs
// about as much as a few rows of placements.
constexpr std::int32_t kPlacementRowsPerBand = 64;

// The first placement in reading order whose every pixel lies within `tolerance`; nothing when there is none or when
// cancelled (then `cancelled` is set).
std::optional<TNearestPlacement> firstWithin(const TPixelView& screen, const TPixelBuffer& picture,
                                             std::int32_t tolerance, const TCancelFlag& cancel, bool& cancelled) {
    const std::int32_t placementRows = screen.height - picture.height + 1;
    const TBDSimilar tolerances{tolerance, tolerance, tolerance};
    for (std::int32_t top = 0; top < placementRows; top += kPlacementRowsPerBand) {
        if (cancel.load(std::memory_order_relaxed)) {
            cancelled = true;
            return std::nullopt;
        }
        const std::int32_t rows = std::min(kPlacementRowsPerBand, placementRows - top);
        const TPixelView band = screen.Part(0, top, screen.width, rows + picture.height - 1);
        std::int32_t x = -1;
        std::int32_t y = -1;
        if (FindBitmapIn(band, picture, tolerances, x, y)) {
            return TNearestPlacement{x, top + y, tolerance};
        }
    }
    return std::nullopt;
}

} // namespace

std::int32_t TChannelDistance::Largest() const {
    return std::max({r, g, b});
}

std::optional<TNearestPixel> NearestPixel(const TPixelView& screen, std::uint32_t color, const TCancelFlag& cancel) {
    std::optional<TNearestPixel> nearest;
    for (std::int32_t y = 0; y < screen.height; ++y) {
        if (cancel.load(std::memory_order_relaxed)) {
            return std::nullopt;
        }
        const std::uint8_t* row = screen.Row(y);
        for (std::int32_t x = 0; x < screen.width; ++x) {
            const TChannelDistance distance = distanceOf(row + 3 * static_cast<std::ptrdiff_t>(x), color);
            if (!nearest || distance.Largest() < nearest->distance.Largest()) {
                nearest = TNearestPixel{x, y, screen.Pixel(x, y), distance};
                if (distance.Largest() == 0) {
                    return nearest;
                }
            }
        }
    }
    return nearest;
}

// The smallest tolerance at which the search finds a placement, found by halving: the search at that tolerance gives
// the first of the best placements, and the fast search does the work.
std::optional<TNearestPlacement> NearestPlacement(const TPixelView& screen, const TPixelBuffer& picture,
                                                  const TCancelFlag& cancel) {
    if (picture.width <= 0 || picture.height <= 0 || picture.width > screen.width || picture.height > screen.height) {
        return std::nullopt;
    }
    bool cancelled = false;
    // Every placement matches at 255.
    std::optional<TNearestPlacement> best = firstWithin(screen, picture, 255, cancel, cancelled);
    std::int32_t low = 0;
    while (best && low < best->worst) {
        const std::int32_t middle = (low + best->worst - 1) / 2;
        if (std::optional<TNearestPlacement> found = firstWithin(screen, picture, middle, cancel, cancelled)) {
            best = found;
        } else if (cancelled) {
            return std::nullopt;
        } else {
            low = middle + 1;
        }
    }
    return best;
}

std::int32_t SimilarityReached(std::int32_t worst) {
    std::int32_t similarity = 100;
    while (similarity > 0 && SimilarityTolerance(similarity) < worst) {
        --similarity;
    }
    return similarity;
}
