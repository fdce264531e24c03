#include "engine/SharedScreen.h"

#include "platform/Screen.h"

#include <algorithm>
#include <numeric>

namespace {

// Bands copied one by one cost a request each; past this many, one band over all of them is cheaper.
constexpr std::size_t MaxBands = 8;
// Updates remembered for searches that ask whether their scope changed; one that looks back further searches again.
constexpr std::size_t MaxUpdates = 64;

std::optional<TRect> Clipped(const TRect& area, TSize screen) {
    const std::int64_t left = std::max(area.left, 0);
    const std::int64_t top = std::max(area.top, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{area.left} + area.width, screen.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{area.top} + area.height, screen.height);
    if (right <= left || bottom <= top) {
        return std::nullopt;
    }
    return TRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top)};
}

TRect Joined(const TRect& a, const TRect& b) {
    const int left = std::min(a.left, b.left);
    const int top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return {left, top, right - left, bottom - top};
}

} // namespace

std::vector<TRect> ChangedBands(const std::vector<TRect>& changes, TSize screen, std::size_t maxBands) {
    std::vector<TRect> areas;
    for (const TRect& change : changes) {
        if (const std::optional<TRect> area = Clipped(change, screen)) {
            areas.push_back(*area);
        }
    }
    std::sort(areas.begin(), areas.end(), [](const TRect& a, const TRect& b) { return a.top < b.top; });
    std::vector<TRect> bands;
    for (const TRect& area : areas) {
        if (!bands.empty() && area.top <= bands.back().top + bands.back().height) {
            bands.back() = Joined(bands.back(), area);
        } else {
            bands.push_back(area);
        }
    }
    if (bands.size() > maxBands) {
        const TRect all = std::accumulate(bands.begin() + 1, bands.end(), bands.front(), Joined);
        bands.assign(1, all);
    }
    return bands;
}

bool TSharedScreen::Covers(const TCaptureRect& rect, TSize screen) {
    return rect.width > 0 && rect.height > 0 && rect.left >= 0 && rect.top >= 0 &&
           std::int64_t{rect.left} + rect.width <= screen.width &&
           std::int64_t{rect.top} + rect.height <= screen.height;
}

std::optional<TPixelView> TSharedScreen::Look(IScreen& screen, const TCaptureRect& rect, TSize screenSize,
                                              std::uint64_t batch) {
    const bool sameScreen = m_screen == &screen && m_size == screenSize;
    const bool askedInBatch = m_whole && sameScreen && batch != 0 && batch == m_batch;
    std::optional<std::vector<TRect>> changes;
    if (!askedInBatch) {
        changes = screen.changedAreas();
        m_batch = batch;
        m_whole = m_whole && sameScreen && changes && CopyChanged(screen, *changes);
    }
    if (!Covers(rect, screenSize)) {
        return std::nullopt;
    }
    if (!m_whole) {
        m_screen = &screen;
        m_size = screenSize;
        if (!changes) {
            m_image.reset();
        }
        // Once the platform reports what is drawn, the whole screen is copied once and kept up to date from then on;
        // until then only the rectangle asked for is copied, as often as it is asked for.
        const bool copied = changes ? (m_whole = CopyWhole(screen, screenSize))
                                    : CopyArea(screen, {rect.left, rect.top, rect.width, rect.height});
        if (!copied) {
            return std::nullopt;
        }
    }
    return Shown().Part(rect.left, rect.top, rect.width, rect.height);
}

void TSharedScreen::Clear() {
    m_copy.Clear();
    m_image.reset();
    m_screen = nullptr;
    m_size = {};
    m_whole = false;
    m_batch = 0;
    m_updates.clear();
}

std::optional<std::vector<TRect>> TSharedScreen::ChangesSince(std::uint64_t version, const TCaptureRect& rect) const {
    if (!m_whole || version < m_wholeVersion || version > m_version) {
        return std::nullopt;
    }
    std::vector<TRect> changes;
    if (version == m_version) {
        return changes;
    }
    if (m_updates.empty() || m_updates.front().before > version) {
        return std::nullopt;
    }
    const TRect scope{rect.left, rect.top, rect.width, rect.height};
    for (const Update& update : m_updates) {
        for (const TRect& band : update.bands) {
            const std::optional<TRect> part = SharedPart(band, scope);
            if (update.before >= version && part) {
                changes.push_back(*part);
            }
        }
    }
    return changes;
}

// The platform's image where it keeps one: the pixels stay as the window system gives them.
bool TSharedScreen::CopyWhole(IScreen& screen, TSize screenSize) {
    ++m_version;
    m_image = screen.copyScreenImage();
    if (m_image && (m_image->width != screenSize.width || m_image->height != screenSize.height)) {
        m_image.reset();
    }
    if (m_image) {
        m_copy.Clear();
    } else if (!CopyArea(screen, {0, 0, screenSize.width, screenSize.height})) {
        return false;
    }
    m_wholeVersion = m_version;
    m_updates.clear();
    return true;
}

// Every copy counts as an update, so that nothing remembered before it is taken for current.
bool TSharedScreen::CopyArea(IScreen& screen, const TRect& area) {
    ++m_version;
    if (m_image) {
        return screen.updateScreenImage(area);
    }
    if (!m_copy.SetSize(m_size.width, m_size.height)) {
        return false;
    }
    std::uint8_t* bottomRow = m_copy.bits +
                              static_cast<std::ptrdiff_t>(m_copy.height - area.top - area.height) * m_copy.lineWidth +
                              3 * static_cast<std::ptrdiff_t>(area.left);
    return screen.copyRect(area.left, area.top, area.width, area.height, bottomRow, m_copy.lineWidth);
}

bool TSharedScreen::CopyChanged(IScreen& screen, const std::vector<TRect>& changes) {
    std::vector<TRect> bands = ChangedBands(changes, m_size, MaxBands);
    if (bands.empty()) {
        return true;
    }
    const std::uint64_t before = m_version;
    if (!std::all_of(bands.begin(), bands.end(), [&](const TRect& band) { return CopyArea(screen, band); })) {
        return false;
    }
    m_updates.push_back({before, std::move(bands)});
    if (m_updates.size() > MaxUpdates) {
        m_updates.pop_front();
    }
    return true;
}

TPixelView TSharedScreen::Shown() const {
    if (m_image) {
        return {m_image->top, m_image->step, m_image->width, m_image->height, 4};
    }
    return m_copy.View();
}

TSharedScreen& SharedScreen() {
    thread_local TSharedScreen shared;
    return shared;
}
