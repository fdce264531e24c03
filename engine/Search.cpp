#include "engine/Search.h"

#include "engine/Desktop.h"
#include "engine/SharedScreen.h"
#include "model/ColorText.h"
#include "platform/Screen.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

namespace {

constexpr TPoint NotFound{-1, -1};

// For scopes that reach beyond the screen, which the shared copy does not hold: one buffer per thread, refilled at
// every such search. It only grows, so a tick allocates nothing once the largest scope has been seen.
TPixelBuffer& screenBuffer() {
    thread_local TPixelBuffer buffer;
    return buffer;
}

// Gives the buffer back after a search on a screen larger than the present one (it shrank), so that it holds no more
// than one capture of the whole screen for the rest of the run.
struct ScreenBufferTrim {
    TSize screen;
    ~ScreenBufferTrim() {
        TPixelBuffer& buffer = screenBuffer();
        if (!KeepsScreenBuffer(buffer.memSize, screen.width, screen.height))
            buffer.Clear();
    }
};

// The part of (left, top, right, bottom) on the desktop, or none when nothing of it is there or right - left or
// bottom - top overflows.
std::optional<TCaptureRect> captureRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                        const TRect& desktop) {
    const std::int64_t width = std::int64_t{right} - left;
    const std::int64_t height = std::int64_t{bottom} - top;
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (width < low || width > high || height < low || height > high) {
        return std::nullopt;
    }
    return ClipCaptureRect(left, top, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), desktop);
}

TRect asRect(const TCaptureRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

std::optional<TPoint> earlier(const std::optional<TPoint>& a, const std::optional<TPoint>& b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return std::tie(b->y, b->x) < std::tie(a->y, a->x) ? b : a;
}

// The first answer in reading order whose top-left corner lies in `among` (relative to the area's rectangle), of
// `scan` run on each part of the area on its own. An answer covers `reach` pixels: it lies wholly in one part.
template <class Scan>
std::optional<TPoint> scanParts(const TPixelView& shown, const TSearchArea& area, const TRect& among, TSize reach,
                                Scan scan) {
    std::optional<TPoint> first;
    for (const TRect& part : area.parts) {
        const TRect places{part.left - area.rect->left, part.top - area.rect->top, part.width - reach.width + 1,
                           part.height - reach.height + 1};
        const std::optional<TRect> looked = SharedPart(places, among);
        if (!looked) {
            continue;
        }
        const std::optional<TPoint> at = scan(
            shown.Part(looked->left, looked->top, looked->width + reach.width - 1, looked->height + reach.height - 1));
        first = earlier(first, at ? std::optional<TPoint>({looked->left + at->x, looked->top + at->y}) : std::nullopt);
    }
    return first;
}

// Where an answer may have appeared since `kept` was found, when only `changes` (screen coordinates) were drawn on:
// an answer before the kept one lies where something was drawn; the kept one stands unless drawn over, and then the
// first one from it on is found by scanning on from there. Nothing when that would look at more than a scan does.
template <class FirstAmong>
std::optional<std::optional<TPoint>> firstSince(const TCaptureRect& rect, const std::optional<TPoint>& kept,
                                                const std::vector<TRect>& changes, TSize reach, FirstAmong firstAmong) {
    if (changes.empty()) {
        return kept;
    }
    std::vector<TRect> places;
    std::int64_t looked = 0;
    for (const TRect& change : changes) {
        places.push_back({change.left - rect.left - reach.width + 1, change.top - rect.top - reach.height + 1,
                          change.width + reach.width - 1, change.height + reach.height - 1});
        looked += std::int64_t{places.back().width} * places.back().height;
    }
    if (looked * 2 > std::int64_t{rect.width} * rect.height) {
        return std::nullopt;
    }
    const auto holds = [](const TRect& place, TPoint at) {
        return at.x >= place.left && at.x - place.left < place.width && at.y >= place.top &&
               at.y - place.top < place.height;
    };
    std::optional<TPoint> first = kept;
    if (kept && std::any_of(places.begin(), places.end(), [&](const TRect& place) { return holds(place, *kept); })) {
        first = firstAmong({kept->x, kept->y, rect.width - kept->x, 1});
        if (!first) {
            first = firstAmong({0, kept->y + 1, rect.width, rect.height - kept->y - 1});
        }
    }
    // Rows below the first answer so far hold no earlier one.
    for (TRect place : places) {
        if (first) {
            place.height = std::min(place.height, first->y + 1 - place.top);
        }
        if (place.height > 0) {
            first = earlier(first, firstAmong(place));
        }
    }
    return first;
}

// Finds what is wanted in the area as the screen shows it now, in screen coordinates (`aim` from the answer's top-left
// corner):
// `firstAmong` finds the first answer in reading order among places relative to the rectangle in the pixels shown;
// the runner's memo knows it when nothing changed, or tells where to look again when little did. The rectangle is
// clipped to the desktop already, so the capture keeps it as it is.
template <class FirstAmong>
TSearchAnswer findIn(IScreen& screen, const TSearchArea& area, TSize screenSize, const TSearchContext& context,
                     const TSearchMemo::Wanted& wanted, TSize reach, TPoint aim, FirstAmong firstAmong) {
    const TCaptureRect& rect = *area.rect;
    TSharedScreen& shared = SharedScreen();
    const bool fromShared = TSharedScreen::Covers(rect, screenSize);
    std::optional<TPixelView> shown;
    if (fromShared) {
        shown = shared.Look(screen, rect, screenSize, context.batch);
    } else if (TPixelBuffer& buffer = screenBuffer();
               buffer.CaptureScreen(screen, rect.left, rect.top, rect.width, rect.height)) {
        shown = buffer.View();
    }
    if (!shown) {
        return {NotFound, TSearchFailure::CaptureRefused};
    }
    const auto firstIn = [&](const TRect& among) { return firstAmong(*shown, among); };
    TSearchMemo* memo = fromShared ? context.memo : nullptr;
    std::optional<std::optional<TPoint>> at;
    if (memo) {
        if (const std::optional<TSearchMemo::Kept> kept = memo->Recall(shared, wanted, rect)) {
            at = firstSince(rect, kept->at, kept->changes, reach, firstIn);
        }
    }
    if (!at) {
        at = firstIn({0, 0, rect.width, rect.height});
    }
    if (memo) {
        memo->Remember(shared, wanted, rect, *at);
    }
    return {*at ? TPoint{rect.left + (*at)->x + aim.x, rect.top + (*at)->y + aim.y} : NotFound};
}

std::optional<TBDSimilar> tolerancesFor(std::int32_t similarity) {
    if (similarity == 100) {
        return std::nullopt;
    }
    const std::int32_t tolerance = SimilarityTolerance(similarity);
    return TBDSimilar{tolerance, tolerance, tolerance};
}

TSearchArea searchArea(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                       std::vector<TRect> (*partsOf)(const TRect&, std::span<const TRect>)) {
    // Read at every search: the monitors may have changed (RandR) since the last one.
    const std::vector<TRect> monitors = screen.monitorAreas();
    TSearchArea area{captureRect(left, top, right, bottom, DesktopBounds(monitors)), {}};
    if (area.rect) {
        area.parts = partsOf(asRect(*area.rect), monitors);
    }
    return area;
}

} // namespace

bool KeepsScreenBuffer(std::int32_t memSize, std::int32_t screenWidth, std::int32_t screenHeight) {
    const std::int64_t lineWidth = (std::int64_t{std::max(screenWidth, 0)} * 24 + 31) / 32 * 4;
    return memSize <= lineWidth * std::max(screenHeight, 0);
}

TSearchArea ColourSearchArea(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) {
    return searchArea(screen, left, top, right, bottom, PartsOnMonitors);
}

TSearchArea PictureSearchArea(IScreen& screen, std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
    return searchArea(screen, left, top, right, bottom, LargestAreasOnMonitors);
}

std::optional<TPoint> FirstColourIn(const TPixelView& shown, const TSearchArea& area, std::uint32_t color,
                                    std::int32_t similarity, const std::optional<TRect>& among) {
    const auto tolerances = tolerancesFor(similarity);
    return scanParts(
        shown, area, among.value_or(TRect{0, 0, area.rect->width, area.rect->height}), {1, 1},
        [&](const TPixelView& part) -> std::optional<TPoint> {
            std::int32_t x = -1;
            std::int32_t y = -1;
            return FindColorIn(part, color, tolerances, x, y) ? std::optional<TPoint>({x, y}) : std::nullopt;
        });
}

std::optional<TPoint> FirstPictureIn(const TPixelView& shown, const TSearchArea& area, const TPixelBuffer& picture,
                                     std::int32_t similarity, const std::optional<TRect>& among) {
    const auto tolerances = tolerancesFor(similarity);
    return scanParts(
        shown, area, among.value_or(TRect{0, 0, area.rect->width, area.rect->height}), {picture.width, picture.height},
        [&](const TPixelView& part) -> std::optional<TPoint> {
            std::int32_t x = -1;
            std::int32_t y = -1;
            return FindBitmapIn(part, picture, tolerances, x, y) ? std::optional<TPoint>({x, y}) : std::nullopt;
        });
}

TSearchAnswer FindColourTarget(IScreen& screen, std::uint32_t color, std::int32_t left, std::int32_t top,
                               std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                               const TSearchContext& context) {
    const ScreenBufferTrim trim{screen.screenSize()};
    const TSearchArea area = ColourSearchArea(screen, left, top, right, bottom);
    if (!area.rect) {
        return {NotFound, TSearchFailure::ScopeOffScreen};
    }
    return findIn(screen, area, trim.screen, context, {color, nullptr, similarity}, {1, 1}, {0, 0},
                  [&](const TPixelView& shown, const TRect& among) {
                      return FirstColourIn(shown, area, color, similarity, among);
                  });
}

TSearchAnswer FindPictureTarget(IScreen& screen, const TPixelBuffer* picture, std::int32_t left, std::int32_t top,
                                std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                                const TSearchContext& context) {
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0) {
        return {NotFound, TSearchFailure::PictureUnreadable};
    }
    const ScreenBufferTrim trim{screen.screenSize()};
    const TSearchArea area = PictureSearchArea(screen, left, top, right, bottom);
    if (!area.rect) {
        return {NotFound, TSearchFailure::ScopeOffScreen};
    }
    // A picture larger than the rectangle has no placement: no need to copy the screen.
    if (picture->width > area.rect->width || picture->height > area.rect->height) {
        return {NotFound, TSearchFailure::PictureLargerThanScope};
    }
    return findIn(screen, area, trim.screen, context, {0, picture, similarity}, {picture->width, picture->height},
                  {picture->width / 2, picture->height / 2}, [&](const TPixelView& shown, const TRect& among) {
                      return FirstPictureIn(shown, area, *picture, similarity, among);
                  });
}

TPoint SearchColorBlock(IScreen& screen, const std::string& colorText, std::int32_t left, std::int32_t top,
                        std::int32_t right, std::int32_t bottom, std::int32_t similarity,
                        const TSearchContext& context) {
    const std::uint32_t color = SwapRB(static_cast<std::uint32_t>(StringToColor(colorText)));
    return FindColourTarget(screen, color, left, top, right, bottom, similarity, context).found;
}

TPoint SearchPicture(IScreen& screen, const TPixelBuffer* picture, std::int32_t left, std::int32_t top,
                     std::int32_t right, std::int32_t bottom, std::int32_t similarity, const TSearchContext& context) {
    return FindPictureTarget(screen, picture, left, top, right, bottom, similarity, context).found;
}

std::optional<TSearchMemo::Kept> TSearchMemo::Recall(const TSharedScreen& shared, const Wanted& wanted,
                                                     const TCaptureRect& rect) const {
    if (!Holds(wanted, rect)) {
        return std::nullopt;
    }
    std::optional<std::vector<TRect>> changes = shared.ChangesSince(m_version, rect);
    if (!changes) {
        return std::nullopt;
    }
    return Kept{m_at, std::move(*changes)};
}

void TSearchMemo::Remember(const TSharedScreen& shared, const Wanted& wanted, const TCaptureRect& rect,
                           std::optional<TPoint> at) {
    m_held = true;
    m_version = shared.Version();
    m_rect = rect;
    m_colour = wanted.colour;
    m_similarity = wanted.similarity;
    m_picture = wanted.picture != nullptr;
    m_picturePixels.clear();
    if (const TPixelBuffer* picture = wanted.picture) {
        m_pictureWidth = picture->width;
        const std::size_t rowBytes = 3 * static_cast<std::size_t>(picture->width);
        for (std::int32_t y = 0; y < picture->height; ++y) {
            m_picturePixels.insert(m_picturePixels.end(), picture->Row(y), picture->Row(y) + rowBytes);
        }
    }
    m_at = at;
}

bool TSearchMemo::Holds(const Wanted& wanted, const TCaptureRect& rect) const {
    const bool sameRect = rect.left == m_rect.left && rect.top == m_rect.top && rect.width == m_rect.width &&
                          rect.height == m_rect.height;
    if (!m_held || !sameRect || wanted.similarity != m_similarity || (wanted.picture != nullptr) != m_picture) {
        return false;
    }
    const TPixelBuffer* picture = wanted.picture;
    if (picture == nullptr) {
        return wanted.colour == m_colour;
    }
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(picture->width);
    if (picture->width != m_pictureWidth ||
        m_picturePixels.size() != rowBytes * static_cast<std::size_t>(picture->height)) {
        return false;
    }
    for (std::int32_t y = 0; y < picture->height; ++y) {
        if (!std::equal(picture->Row(y), picture->Row(y) + rowBytes, m_picturePixels.begin() + y * rowBytes)) {
            return false;
        }
    }
    return true;
}
