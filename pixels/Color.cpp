#include "pixels/Color.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

std::uint32_t SwapRB(std::uint32_t color) {
    return ((color >> 16) & 0xFF) | (color & 0xFF00) | ((color & 0xFF) << 16);
}

namespace {

bool channelSimilar(std::uint32_t a, std::uint32_t b, int shift, std::int32_t tolerance) {
    const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    return std::abs(difference) <= tolerance;
}

} // namespace

bool ColorsSimilar(std::uint32_t a, std::uint32_t b, const TBDSimilar& tolerances) {
    return channelSimilar(a, b, 0, tolerances.b) && channelSimilar(a, b, 8, tolerances.g) &&
           channelSimilar(a, b, 16, tolerances.r);
}

std::int32_t SimilarityTolerance(std::int32_t similarity) {
    // 64-bit, so that a similarity far out of range saturates instead of wrapping.
    const std::int64_t tolerance = (100 - std::int64_t{similarity}) * 255 / 100;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(tolerance, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
