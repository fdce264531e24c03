#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <vector>

// One output's frame as a compositor hands it over: rows of 4-byte pixels, `stride` bytes apart, blue first
// (X,R,G,B as a little-endian number) unless `redFirst`.
struct OutputFrame {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool redFirst = false;
    bool bottomUp = false;
};

// The desktop as one picture composed of its outputs' frames, in the compositor's layout, for the screens of
// compositors that hand out frames per output (screen copy, PipeWire streams). A scaled output is sampled to one pixel
// per logical pixel, so a position found in the picture is the position a click lands on. Pixels are kept as
// X,R,G,B numbers, as most compositors send them, so an unscaled frame is taken in by copying its rows.
class OutputPicture {
public:
    // The picture covers `extent` of the layout, all black, and what changed is unknown.
    void reset(TRect extent);
    TRect extent() const { return m_extent; }
    // Takes in the part `area` (in the frame's own pixels) of a frame of the output lying at `logical` in the layout,
    // and remembers it as changed, in program positions (the layout's `origin` at (0, 0)).
    void compose(const OutputFrame& frame, TRect logical, TRect area, TPoint origin);
    // IScreen::copyRect's rectangle in program positions; what lies off the picture comes out black.
    void copyRect(TPoint origin, int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) const;
    // A pixel in program positions as 0x00BBGGRR; black off the picture.
    std::uint32_t pixelColor(TPoint origin, int x, int y) const;
    // The areas composed in since the last call.
    std::vector<TRect> takeChanged();

private:
    // A picture pixel as 0x00RRGGBB in its low bytes, black off the outputs; (x, y) in the layout.
    std::uint32_t layoutPixel(int x, int y) const;
    std::uint32_t* row(int layoutY) {
        return m_pixels.data() +
               static_cast<std::size_t>(layoutY - m_extent.top) * static_cast<std::size_t>(m_extent.width);
    }
    const std::uint32_t* row(int layoutY) const { return const_cast<OutputPicture*>(this)->row(layoutY); }

    TRect m_extent;
    std::vector<std::uint32_t> m_pixels;
    std::vector<TRect> m_changed;
};
