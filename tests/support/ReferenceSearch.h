#pragma once

#include "pixels/NearestMiss.h"
#include "pixels/PixelBuffer.h"

#include <optional>

// The plain pixel-by-pixel scans, kept as the yardstick for the fast searches of TPixelBuffer: the tests compare
// the two on many images and the benchmarks time both. Same arguments and results as the methods of that name.
namespace ReferenceSearch {

bool FindColor(const TPixelBuffer& screen, std::uint32_t color, std::int32_t& x, std::int32_t& y);
bool FindColorSimilar(const TPixelBuffer& screen, std::uint32_t color, const TBDSimilar& tolerances, std::int32_t& x,
                      std::int32_t& y);
bool MatchAt(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t x, std::int32_t y);
bool MatchAtSimilar(const TPixelBuffer& screen, const TPixelBuffer& picture, const TBDSimilar& tolerances,
                    std::int32_t x, std::int32_t y);
bool FindBitmap(const TPixelBuffer& screen, const TPixelBuffer& picture, std::int32_t& x, std::int32_t& y);
bool FindBitmapSimilar(const TPixelBuffer& screen, const TPixelBuffer& picture, const TBDSimilar& tolerances,
                       std::int32_t& x, std::int32_t& y);

// The nearest misses by trying every pixel and every whole placement.
std::optional<TNearestPixel> NearestPixel(const TPixelBuffer& screen, std::uint32_t color);
std::optional<TNearestPlacement> NearestPlacement(const TPixelBuffer& screen, const TPixelBuffer& picture);

} // namespace ReferenceSearch
