#pragma once

#include "pixels/PixelBuffer.h"
#include "pixels/PixelScan.h"

#include <optional>

// A picture pixel, or a run of up to PixelScan::MaxRun pixels of one picture row starting there, that a placement
// must show; a placement search looks for the rarest one first and tests the whole picture only where it is found.
struct TPictureAnchor {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t color = 0; // the first pixel's
    int length = 1;
    std::uint32_t run[PixelScan::MaxRun] = {};

    // Whether the screen shows the anchor's colour for the placement at (left, top), exactly or within tolerance.
    bool Holds(const TPixelView& screen, std::int32_t left, std::int32_t top,
               const std::optional<PixelScan::TByteTolerance>& tolerance) const;
};

struct TPictureAnchors {
    TPictureAnchor first;
    TPictureAnchor second;
};

// Two pixels of different colours among the picture's rarest, those the screen shows least where the search will
// look for them; with a tolerance, colours are grouped by it. Where even the rarest colour is common on the screen
// (a repetitive screen, a picture of text), the first becomes the run of pixels of the picture that the screen shows
// least, if that is rarer. The picture must hold pixels and fit the screen.
TPictureAnchors ChoosePictureAnchors(const TPixelView& screen, const TPixelBuffer& picture,
                                     const std::optional<PixelScan::TByteTolerance>& tolerance);

// Tries, in reading order, the placements whose anchor pixel `scan` finds, until `isMatch` accepts one.
// `scan(pixels, count)` gives the index of the first candidate among `count` pixels, or -1.
template <class TScan, class TMatch>
bool ScanAnchorPlacements(const TPixelView& screen, const TPixelBuffer& picture, const TPictureAnchor& anchor,
                          TScan scan, TMatch isMatch, std::int32_t& x, std::int32_t& y) {
    const std::int32_t columns = screen.width - picture.width + 1;
    for (std::int32_t top = 0; top <= screen.height - picture.height; ++top) {
        const std::uint8_t* anchors =
            screen.Row(top + anchor.y) + screen.pixelBytes * static_cast<std::ptrdiff_t>(anchor.x);
        for (std::int32_t from = 0; from < columns;) {
            const int hit = scan(anchors + screen.pixelBytes * static_cast<std::ptrdiff_t>(from), columns - from);
            if (hit < 0) {
                break;
            }
            const std::int32_t left = from + hit;
            if (isMatch(left, top)) {
                x = left;
                y = top;
                return true;
            }
            from = left + 1;
        }
    }
    return false;
}
