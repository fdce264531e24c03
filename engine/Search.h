#pragma once

#include "pixels/PixelBuffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class IScreen;
class TSharedScreen;

// A runner's last answer, kept between its ticks: a search of the same colour or picture, at the same similarity, in
// the same scope, has the same answer as long as no pixel of the scope changed since, so it is not scanned again.
// Only answers read from the shared copy of the screen are kept, since only it tells what changed.
class TSearchMemo {
public:
    // What is looked for: a colour, or a picture's pixels (copied, so that a picture edited in place is new).
    struct Wanted {
        std::uint32_t colour = 0;
        const TPixelBuffer* picture = nullptr;
        std::int32_t similarity = 100;
    };
    // The answer kept for `wanted` in `rect`, when the shared copy shows the rectangle unchanged since it was found.
    std::optional<TPoint> Recall(const TSharedScreen& shared, const Wanted& wanted, const TCaptureRect& rect) const;
    void Remember(const TSharedScreen& shared, const Wanted& wanted, const TCaptureRect& rect, TPoint found);

private:
    bool Holds(const Wanted& wanted, const TCaptureRect& rect) const;

    bool m_held = false;
    std::uint64_t m_version = 0;
    TCaptureRect m_rect;
    std::uint32_t m_colour = 0;
    std::int32_t m_similarity = 0;
    bool m_picture = false;
    std::int32_t m_pictureWidth = 0;
    std::vector<std::uint8_t> m_picturePixels;
    TPoint m_found;
};

// How a runner's tick searches: the loop's tick batch (see TSharedScreen::Look; 0 asks the screen afresh) and the
// runner's memo (none: every search scans).
struct TSearchContext {
    std::uint64_t batch = 0;
    TSearchMemo* memo = nullptr;
};

// The first pixel of the colour in the rectangle (right and bottom exclusive), in screen coordinates, or (-1, -1).
// Throws std::invalid_argument for colour text that is neither a name nor a number.
TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                        const TSearchContext& context = {});
// The centre of the first placement of the picture in the rectangle, in screen coordinates, or (-1, -1).
TPoint SearchPicture(IScreen& screen, const TPixelBuffer* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                     const TSearchContext& context = {});
// Whether the searches keep a screen buffer of `memSize` bytes for the next search: up to a whole screen's capture.
bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight);
