#include "engine/Search.h"

#include "model/ColorText.h"
#include "platform/Screen.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr TPoint NotFound{-1, -1};

// One screen buffer per thread, refilled at every search: it only grows, so a tick allocates nothing once the
// largest scope has been seen.
TBDBitmapData& screenBuffer() {
    thread_local TBDBitmapData buffer;
    return buffer;
}

// Gives the screen buffer back after a search whose scope reached far past the screen, so that one such scope in
// a list does not pin its memory (up to gigabytes) for the rest of the run.
struct ScreenBufferTrim {
    ~ScreenBufferTrim() {
        TBDBitmapData& buffer = screenBuffer();
        if (!KeepsScreenBuffer(buffer.MemSize, ScreenWidth, ScreenHeight))
            buffer.Clear();
    }
};

// The capture rectangle of (left, top, right, bottom), or none when right - left or bottom - top overflows.
std::optional<TCaptureRect> captureRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const std::int64_t width = std::int64_t{right} - left;
    const std::int64_t height = std::int64_t{bottom} - top;
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (width < low || width > high || height < low || height > high) {
        return std::nullopt;
    }
    return NormalizeCaptureRect(left, top, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

// The rectangle is normalised already, so the capture keeps it as it is.
bool capture(IScreen& screen, const TCaptureRect& rect) {
    return screenBuffer().CaptureScreen(screen, rect.left, rect.top, rect.width, rect.height);
}

TBDSimilar uniformTolerance(std::int32_t similarity) {
    const std::int32_t tolerance = SimilarityTolerance(similarity);
    return {tolerance, tolerance, tolerance};
}

} // namespace

bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight) {
    const std::int64_t lineWidth = (std::int64_t{std::max(screenWidth, 0)} * 24 + 31) / 32 * 4;
    return memSize <= lineWidth * std::max(screenHeight, 0);
}

TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity) {
    const std::uint32_t color = SwapRB(static_cast<std::uint32_t>(StringToColor(colorText)));
    const ScreenBufferTrim trim;
    const std::optional<TCaptureRect> rect = captureRect(left, top, right, bottom);
    if (!rect || !capture(screen, *rect)) {
        return NotFound;
    }
    const TBDBitmapData& buffer = screenBuffer();
    std::int32_t x = -1;
    std::int32_t y = -1;
    const bool found = similarity == 100 ? buffer.FindColor(color, x, y)
                                         : buffer.FindColorSimilar(color, uniformTolerance(similarity), x, y);
    return found ? TPoint{rect->left + x, rect->top + y} : NotFound;
}

TPoint SearchPicture(IScreen& screen, const TBDBitmapData* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity) {
    if (picture == nullptr || picture->Width <= 0 || picture->Height <= 0) {
        return NotFound;
    }
    const ScreenBufferTrim trim;
    const std::optional<TCaptureRect> rect = captureRect(left, top, right, bottom);
    // A picture larger than the rectangle has no placement: no need to copy the screen.
    if (!rect || picture->Width > rect->width || picture->Height > rect->height || !capture(screen, *rect)) {
        return NotFound;
    }
    const TBDBitmapData& buffer = screenBuffer();
    std::int32_t x = -1;
    std::int32_t y = -1;
    const bool found = similarity == 100 ? buffer.FindBitmap(*picture, x, y)
                                         : buffer.FindBitmapSimilar(*picture, uniformTolerance(similarity), x, y);
    return found ? TPoint{rect->left + x + picture->Width / 2, rect->top + y + picture->Height / 2} : NotFound;
}
