#include "engine/Search.h"

#include "engine/SharedScreen.h"
#include "model/ColorText.h"
#include "platform/Screen.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr TPoint NotFound{-1, -1};

// For scopes that reach beyond the screen, which the shared copy does not hold: one buffer per thread, refilled at
// every such search. It only grows, so a tick allocates nothing once the largest scope has been seen.
TBDBitmapData& screenBuffer() {
    thread_local TBDBitmapData buffer;
    return buffer;
}

// Gives the buffer back after a search on a screen larger than the present one (it shrank), so that it holds no more
// than one capture of the whole screen for the rest of the run.
struct ScreenBufferTrim {
    TSize screen;
    ~ScreenBufferTrim() {
        TBDBitmapData& buffer = screenBuffer();
        if (!KeepsScreenBuffer(buffer.MemSize, screen.width, screen.height))
            buffer.Clear();
    }
};

// The part of (left, top, right, bottom) on the screen, or none when nothing of it is there or right - left or
// bottom - top overflows.
std::optional<TCaptureRect> captureRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                        TSize screen) {
    const std::int64_t width = std::int64_t{right} - left;
    const std::int64_t height = std::int64_t{bottom} - top;
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (width < low || width > high || height < low || height > high) {
        return std::nullopt;
    }
    return ClipCaptureRect(left, top, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), screen);
}

// The rectangle as the screen shows it now; nothing when the copy failed. The rectangle is clipped to the screen
// already, so the capture keeps it as it is.
std::optional<TPixelView> look(IScreen& screen, const TCaptureRect& rect, TSize screenSize) {
    if (TSharedScreen::Covers(rect, screenSize)) {
        return SharedScreen().Look(screen, rect, screenSize);
    }
    TBDBitmapData& buffer = screenBuffer();
    if (!buffer.CaptureScreen(screen, rect.left, rect.top, rect.width, rect.height)) {
        return std::nullopt;
    }
    return buffer.View();
}

std::optional<TBDSimilar> tolerancesFor(std::int32_t similarity) {
    if (similarity == 100) {
        return std::nullopt;
    }
    const std::int32_t tolerance = SimilarityTolerance(similarity);
    return TBDSimilar{tolerance, tolerance, tolerance};
}

} // namespace

bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight) {
    const std::int64_t lineWidth = (std::int64_t{std::max(screenWidth, 0)} * 24 + 31) / 32 * 4;
    return memSize <= lineWidth * std::max(screenHeight, 0);
}

TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity) {
    const std::uint32_t color = SwapRB(static_cast<std::uint32_t>(StringToColor(colorText)));
    // Read at every search: the screen may have changed its size (RandR) since the last one.
    const ScreenBufferTrim trim{screen.screenSize()};
    const std::optional<TCaptureRect> rect = captureRect(left, top, right, bottom, trim.screen);
    const std::optional<TPixelView> shown = rect ? look(screen, *rect, trim.screen) : std::nullopt;
    std::int32_t x = -1;
    std::int32_t y = -1;
    if (!shown || !FindColorIn(*shown, color, tolerancesFor(similarity), x, y)) {
        return NotFound;
    }
    return {rect->left + x, rect->top + y};
}

TPoint SearchPicture(IScreen& screen, const TBDBitmapData* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity) {
    if (picture == nullptr || picture->Width <= 0 || picture->Height <= 0) {
        return NotFound;
    }
    // Read at every search: the screen may have changed its size (RandR) since the last one.
    const ScreenBufferTrim trim{screen.screenSize()};
    const std::optional<TCaptureRect> rect = captureRect(left, top, right, bottom, trim.screen);
    // A picture larger than the rectangle has no placement: no need to copy the screen.
    if (!rect || picture->Width > rect->width || picture->Height > rect->height) {
        return NotFound;
    }
    const std::optional<TPixelView> shown = look(screen, *rect, trim.screen);
    std::int32_t x = -1;
    std::int32_t y = -1;
    if (!shown || !FindBitmapIn(*shown, *picture, tolerancesFor(similarity), x, y)) {
        return NotFound;
    }
    return {rect->left + x + picture->Width / 2, rect->top + y + picture->Height / 2};
}
