#pragma once

#include "pixels/PixelBuffer.h"

#include <atomic>
#include <cstdint>
#include <optional>

// What comes nearest to a colour or a picture that a search did not find, so that the user learns by how much it
// missed. Both walk the pixels in reading order, as the searches do, and check `cancel` between rows; a cancelled
// walk gives nothing.
using TCancelFlag = std::atomic<bool>;

// How far a screen pixel's channels lie from a colour's: the absolute differences.
struct TChannelDistance {
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;

    std::int32_t Largest() const;
    friend bool operator==(const TChannelDistance&, const TChannelDistance&) = default;
};

struct TNearestPixel {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::uint32_t color = 0; // 0x00RRGGBB
    TChannelDistance distance;
    friend bool operator==(const TNearestPixel&, const TNearestPixel&) = default;
};

// The pixel whose largest channel difference from the 0x00RRGGBB colour is smallest, the first in reading order of
// those; nothing for an empty view or when cancelled.
std::optional<TNearestPixel> NearestPixel(const TPixelView& screen, std::uint32_t color, const TCancelFlag& cancel);

struct TNearestPlacement {
    std::int32_t x = -1;
    std::int32_t y = -1;
    // The largest channel difference of any pixel of the placement: it matches at every tolerance from this one up.
    std::int32_t worst = 0;
    friend bool operator==(const TNearestPlacement&, const TNearestPlacement&) = default;
};

// The placement of the picture whose worst pixel is best, the first in reading order of those (the one the search
// finds at that tolerance); nothing when the picture has no placement or when cancelled.
std::optional<TNearestPlacement> NearestPlacement(const TPixelView& screen, const TPixelBuffer& picture,
                                                  const TCancelFlag& cancel);

// The highest similarity (0 to 100) whose tolerance admits a difference of `worst`.
std::int32_t SimilarityReached(std::int32_t worst);
