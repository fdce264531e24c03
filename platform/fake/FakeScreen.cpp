#include "platform/fake/FakeScreen.h"

#include <algorithm>
#include <cstring>

FakeScreen::FakeScreen() : FakeScreen(1920, 1080) {}

FakeScreen::FakeScreen(int width, int height) {
    resize(width, height);
}

void FakeScreen::resize(int width, int height) {
    m_monitors.assign(1, {0, 0, std::max(width, 0), std::max(height, 0)});
    makeDesktop();
}

void FakeScreen::addMonitor(const TRect& area) {
    m_monitors.push_back(area);
    makeDesktop();
}

void FakeScreen::makeDesktop() {
    int right = 0;
    int bottom = 0;
    m_left = 0;
    m_top = 0;
    for (const TRect& monitor : m_monitors) {
        m_left = std::min(m_left, monitor.left);
        m_top = std::min(m_top, monitor.top);
        right = std::max(right, monitor.left + monitor.width);
        bottom = std::max(bottom, monitor.top + monitor.height);
    }
    m_width = right - m_left;
    m_height = bottom - m_top;
    m_bgr.assign(3 * static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0);
    m_watching = false;
    m_changes.clear();
}

void FakeScreen::fill(std::uint32_t rgb) {
    fillRect(m_left, m_top, m_width, m_height, rgb);
}

void FakeScreen::setPixel(int x, int y, std::uint32_t rgb) {
    painted({x, y, 1, 1});
    putPixel(x, y, rgb);
}

void FakeScreen::putPixel(int x, int y, std::uint32_t rgb) {
    if (!contains(x, y)) {
        return;
    }
    std::uint8_t* pixel = m_bgr.data() + offsetOf(x, y);
    pixel[0] = static_cast<std::uint8_t>(rgb);
    pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
    pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
}

void FakeScreen::fillRect(int left, int top, int width, int height, std::uint32_t rgb) {
    painted({left, top, width, height});
    const long long right = std::min<long long>(static_cast<long long>(left) + std::max(width, 0), m_left + m_width);
    const long long bottom = std::min<long long>(static_cast<long long>(top) + std::max(height, 0), m_top + m_height);
    for (long long y = std::max(top, m_top); y < bottom; ++y) {
        for (long long x = std::max(left, m_left); x < right; ++x) {
            putPixel(static_cast<int>(x), static_cast<int>(y), rgb);
        }
    }
}

void FakeScreen::paint(int left, int top, int width, std::span<const std::uint32_t> rgbRows) {
    if (width <= 0) {
        return;
    }
    const std::size_t rows = (rgbRows.size() + static_cast<std::size_t>(width) - 1) / static_cast<std::size_t>(width);
    painted({left, top, width, static_cast<int>(rows)});
    for (std::size_t i = 0; i < rgbRows.size(); ++i) {
        const long long x = left + static_cast<long long>(i % static_cast<std::size_t>(width));
        const long long y = top + static_cast<long long>(i / static_cast<std::size_t>(width));
        if (x >= m_left && y >= m_top && x < m_left + m_width && y < m_top + m_height) {
            putPixel(static_cast<int>(x), static_cast<int>(y), rgbRows[i]);
        }
    }
}

std::uint32_t FakeScreen::rgbAt(int x, int y) const {
    if (!contains(x, y)) {
        return 0;
    }
    const std::uint8_t* pixel = m_bgr.data() + offsetOf(x, y);
    return std::uint32_t{pixel[2]} << 16 | std::uint32_t{pixel[1]} << 8 | pixel[0];
}

TSize FakeScreen::screenSize() {
    return {m_monitors.front().width, m_monitors.front().height};
}

std::vector<TRect> FakeScreen::monitorAreas() {
    return m_monitors;
}

// Counts a copy of the area; false when it is to fail.
bool FakeScreen::countCopy(const TRect& area) {
    ++m_copyCount;
    m_lastCopy = {area.left, area.top, area.width, area.height};
    const bool fails = m_failNextCopy;
    m_failNextCopy = false;
    return !fails;
}

bool FakeScreen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    if (!countCopy({left, top, width, height})) {
        return false;
    }
    if (width <= 0 || height <= 0 || bits == nullptr || lineWidth < 3LL * width) {
        return false;
    }
    for (int row = 0; row < height; ++row) {
        std::uint8_t* target = bits + static_cast<std::ptrdiff_t>(height - 1 - row) * lineWidth;
        copyRow(left, static_cast<long long>(top) + row, width, target);
    }
    return true;
}

std::uint32_t FakeScreen::pixelColor(int x, int y) {
    const std::uint32_t rgb = rgbAt(x, y);
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

std::optional<std::vector<TRect>> FakeScreen::changedAreas() {
    ++m_questionCount;
    if (!m_reportsChanges) {
        return std::nullopt;
    }
    const bool knew = m_watching;
    m_watching = true;
    std::vector<TRect> changes;
    changes.swap(m_changes);
    if (!knew) {
        return std::nullopt;
    }
    return changes;
}

std::optional<TScreenImage> FakeScreen::copyScreenImage() {
    const TRect primary = m_monitors.front();
    if (!m_keepsImage) {
        return std::nullopt;
    }
    m_image.assign(4 * static_cast<std::size_t>(primary.width) * static_cast<std::size_t>(primary.height), 0);
    if (!updateScreenImage(primary)) {
        return std::nullopt;
    }
    return TScreenImage{m_image.data(), 4 * static_cast<std::ptrdiff_t>(primary.width), primary.width, primary.height};
}

// Copies exactly the area, so that a copy relying on more of its rows is caught.
bool FakeScreen::updateScreenImage(const TRect& area) {
    const TRect primary = m_monitors.front();
    if (!countCopy(area) || m_image.empty()) {
        return false;
    }
    for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, primary.height); ++y) {
        for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, primary.width); ++x) {
            const std::uint32_t rgb = rgbAt(x, y);
            std::uint8_t* pixel = m_image.data() + 4 * (static_cast<std::size_t>(y) * primary.width + x);
            pixel[0] = static_cast<std::uint8_t>(rgb);
            pixel[1] = static_cast<std::uint8_t>(rgb >> 8);
            pixel[2] = static_cast<std::uint8_t>(rgb >> 16);
            pixel[3] = static_cast<std::uint8_t>(0x5A ^ (x * 31 + y * 17));
        }
    }
    return true;
}

void FakeScreen::painted(const TRect& area) {
    if (m_watching) {
        m_changes.push_back(area);
    }
}

bool FakeScreen::contains(int x, int y) const {
    return x >= m_left && y >= m_top && static_cast<long long>(x) < static_cast<long long>(m_left) + m_width &&
           static_cast<long long>(y) < static_cast<long long>(m_top) + m_height;
}

std::size_t FakeScreen::offsetOf(int x, int y) const {
    return 3 * (static_cast<std::size_t>(y - m_top) * static_cast<std::size_t>(m_width) +
                static_cast<std::size_t>(x - m_left));
}

// One row of the copy: the part on the desktop copied, everything beyond its edges black.
void FakeScreen::copyRow(int left, long long y, int width, std::uint8_t* target) const {
    std::memset(target, 0, 3 * static_cast<std::size_t>(width));
    if (y < m_top || y >= static_cast<long long>(m_top) + m_height) {
        return;
    }
    const long long from = std::max<long long>(left, m_left);
    const long long to =
        std::min<long long>(static_cast<long long>(left) + width, static_cast<long long>(m_left) + m_width);
    if (from >= to) {
        return;
    }
    std::memcpy(target + 3 * (from - left), m_bgr.data() + offsetOf(static_cast<int>(from), static_cast<int>(y)),
                3 * static_cast<std::size_t>(to - from));
}
