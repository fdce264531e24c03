#include "pixels/NearestMiss.h"

#include <algorithm>
#include <cstdlib>

namespace {

TChannelDistance distanceOf(const std::uint8_t* pixel, std::uint32_t color) {
    return {std::abs(pixel[2] - static_cast<std::int32_t>((color >> 16) & 0xFF)),
            std::abs(pixel[1] - static_cast<std::int32_t>((color >> 8) & 0xFF)),
            std::abs(pixel[0] - static_cast<std::int32_t>(color & 0xFF))};
}

// The largest channel difference of the placement at (left, top).
std::int32_t worstAt(const TPixelView& screen, const TPixelBuffer& picture, std::int32_t left, std::int32_t top) {
    std::int32_t worst = 0;
    for (std::int32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* shown = screen.Row(top + y) + screen.pixelBytes * static_cast<std::ptrdiff_t>(left);
        const std::uint8_t* wanted = picture.Row(y);
        for (std::int32_t x = 0; x < picture.width; ++x, shown += screen.pixelBytes, wanted += 3) {
            worst = std::max({worst, std::abs(shown[0] - wanted[0]), std::abs(shown[1] - wanted[1]),
                              std::abs(shown[2] - wanted[2])});
        }
    }
    return worst;
}

// Placement rows searched between two looks at the cancel flag: the anchor choice each search begins with costs
// about as much as a few rows of placements.
constexpr std::int32_t kPlacementRowsPerBand = 64;

// The first placement after (x, y) in reading order whose every pixel lies within `tolerance`, with its own worst;
// nothing when there is none or when cancelled (then `cancelled` is set).
std::optional<TNearestPlacement> nextWithin(const TPixelView& screen, const TPixelBuffer& picture, std::int32_t x,
                                            std::int32_t y, std::int32_t tolerance, const TCancelFlag& cancel,
                                            bool& cancelled) {
    const TBDSimilar tolerances{tolerance, tolerance, tolerance};
    const auto found = [&](std::int32_t left, std::int32_t top) {
        return TNearestPlacement{left, top, worstAt(screen, picture, left, top)};
    };
    std::int32_t foundX = -1;
    std::int32_t foundY = -1;
    const std::int32_t restOfRow = screen.width - picture.width - x;
    if (restOfRow > 0 && FindBitmapIn(screen.Part(x + 1, y, restOfRow + picture.width - 1, picture.height), picture,
                                      tolerances, foundX, foundY)) {
        return found(x + 1 + foundX, y);
    }
    const std::int32_t placementRows = screen.height - picture.height + 1;
    for (std::int32_t top = y + 1; top < placementRows; top += kPlacementRowsPerBand) {
        if (cancel.load(std::memory_order_relaxed)) {
            cancelled = true;
            return std::nullopt;
        }
        const std::int32_t rows = std::min(kPlacementRowsPerBand, placementRows - top);
        const TPixelView band = screen.Part(0, top, screen.width, rows + picture.height - 1);
        if (FindBitmapIn(band, picture, tolerances, foundX, foundY)) {
            return found(foundX, top + foundY);
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
            const TChannelDistance distance =
                distanceOf(row + screen.pixelBytes * static_cast<std::ptrdiff_t>(x), color);
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

// One pass over the placements in reading order with the fast search, which looks each time for the next placement
// better than the best so far: the tolerance only shrinks, and a later placement as good as the best is not taken.
std::optional<TNearestPlacement> NearestPlacement(const TPixelView& screen, const TPixelBuffer& picture,
                                                  const TCancelFlag& cancel) {
    if (picture.width <= 0 || picture.height <= 0 || picture.width > screen.width || picture.height > screen.height) {
        return std::nullopt;
    }
    TNearestPlacement best{0, 0, worstAt(screen, picture, 0, 0)};
    bool cancelled = false;
    while (best.worst > 0) {
        const std::optional<TNearestPlacement> better =
            nextWithin(screen, picture, best.x, best.y, best.worst - 1, cancel, cancelled);
        if (cancelled) {
            return std::nullopt;
        }
        if (!better) {
            break;
        }
        best = *better;
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
