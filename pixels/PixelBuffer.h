#pragma once

#include "pixels/Color.h"
#include "platform/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class IScreen;

// A screen rectangle as CaptureScreen copies it.
struct TCaptureRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
// The part of the rectangle that lies on the desktop (the smallest rectangle holding every monitor): pixels beyond it
// are never searched. A width or height of 0 or less reaches from the left or top edge to the desktop's edge.
// Nothing when no pixel of the rectangle is on the desktop.
std::optional<TCaptureRect> ClipCaptureRect(std::int32_t left, std::int32_t top, std::int32_t width,
                                            std::int32_t height, const TRect& desktop);

class TPixelBuffer;

// Rows of 3-byte B,G,R pixels held by some buffer, or of 4-byte B,G,R,X pixels (the fourth byte means nothing) as
// a window system keeps them, seen from the top: row y starts at top + y * step. A view of part of a buffer lets a
// search run on that part without copying it.
struct TPixelView {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t step = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pixelBytes = 3;

    const std::uint8_t* Row(std::int32_t y) const { return top + y * step; }
    // The 0x00RRGGBB value of the pixel in column x of row y; 0 outside the view.
    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const;
    // The width x height part at (left, top), which must lie inside the view.
    TPixelView Part(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) const;
};

// The searches of TPixelBuffer on a view; tolerances of nothing compare exactly.
bool FindColorIn(const TPixelView& screen, std::uint32_t color, const std::optional<TBDSimilar>& tolerances,
                 std::int32_t& x, std::int32_t& y);
bool FindBitmapIn(const TPixelView& screen, const TPixelBuffer& picture, const std::optional<TBDSimilar>& tolerances,
                  std::int32_t& x, std::int32_t& y);

// A stream of bytes with a current position, as LoadFromStream reads it.
struct TByteStream {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

// 24-bit pixels laid out as bottom-up rows of B,G,R triples, each row padded to 4 bytes.
class TPixelBuffer {
public:
    TPixelBuffer() = default;
    TPixelBuffer(const TPixelBuffer&) = delete;
    TPixelBuffer& operator=(const TPixelBuffer&) = delete;
    ~TPixelBuffer();

    void Clear();
    bool SetSize(std::int32_t width, std::int32_t height);
    bool LoadFromStream(TByteStream* stream);
    // Copies exactly this screen rectangle (see ClipCaptureRect); false when it is empty or the copy failed.
    bool CaptureScreen(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

    bool FindColor(std::uint32_t color, std::int32_t& x, std::int32_t& y) const;
    bool FindColorSimilar(std::uint32_t color, const TBDSimilar& tolerances, std::int32_t& x, std::int32_t& y) const;
    bool MatchAt(const TPixelBuffer& picture, std::int32_t x, std::int32_t y) const;
    bool MatchAtSimilar(const TPixelBuffer& picture, const TBDSimilar& tolerances, std::int32_t x,
                        std::int32_t y) const;
    bool FindBitmap(const TPixelBuffer& picture, std::int32_t& x, std::int32_t& y) const;
    bool FindBitmapSimilar(const TPixelBuffer& picture, const TBDSimilar& tolerances, std::int32_t& x,
                           std::int32_t& y) const;

    // The 0x00RRGGBB value of the pixel in column x of row y, counted from the top left; 0 outside the buffer.
    std::uint32_t Pixel(std::int32_t x, std::int32_t y) const;
    // Sets that pixel to the 0x00RRGGBB colour; nothing outside the buffer.
    void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t rgb);
    // The first byte of row y, counted from the top (rows lie bottom-up in memory).
    const std::uint8_t* Row(std::int32_t y) const {
        return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * lineWidth;
    }
    TPixelView View() const {
        return {height > 0 ? Row(0) : bits, -static_cast<std::ptrdiff_t>(lineWidth), width, height};
    }

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t lineWidth = 0;
    std::int32_t spareWidth = 0;
    std::int32_t size = 0;
    std::int32_t memSize = 0;
    std::uint8_t* bits = nullptr;
};

// The BMP codec every part of the program uses, so that what an editor shows is what the search looks for.
// The BMP file image of the picture in the one layout LoadFromStream reads: a 14-byte file header, a 40-byte
// information header, then the 24-bit rows bottom-up, each padded to 4 bytes. A picture without pixels gives no bytes.
std::vector<std::uint8_t> EncodeBmp24(const TPixelBuffer& picture);
// Loads a whole BMP file image into `picture` (LoadFromStream from its first byte); false, leaving the picture empty,
// for anything LoadFromStream refuses.
bool DecodeBmp24(std::span<const std::uint8_t> bytes, TPixelBuffer& picture);
