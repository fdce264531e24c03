#pragma once

#include "pixels/BitmapData.h"

// The plain pixel-by-pixel scans, kept as the yardstick for the fast searches of TBDBitmapData: the tests compare
// the two on many images and the benchmarks time both. Same arguments and results as the methods of that name.
namespace ReferenceSearch {

bool FindColor(const TBDBitmapData& screen, std::uint32_t color, std::int32_t& x, std::int32_t& y);
bool FindColorSimilar(const TBDBitmapData& screen, std::uint32_t color, const TBDSimilar& tolerances, std::int32_t& x,
                      std::int32_t& y);
bool MatchAt(const TBDBitmapData& screen, const TBDBitmapData& picture, std::int32_t x, std::int32_t y);
bool MatchAtSimilar(const TBDBitmapData& screen, const TBDBitmapData& picture, const TBDSimilar& tolerances,
                    std::int32_t x, std::int32_t y);
bool FindBitmap(const TBDBitmapData& screen, const TBDBitmapData& picture, std::int32_t& x, std::int32_t& y);
bool FindBitmapSimilar(const TBDBitmapData& screen, const TBDBitmapData& picture, const TBDSimilar& tolerances,
                       std::int32_t& x, std::int32_t& y);

} // namespace ReferenceSearch
