#include "platform/wayland/WaylandScreen.h"

#include "platform/Clock.h"
#include "platform/PixelRows.h"
#include "platform/PrimaryMonitor.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
// Without a reading for this long the outputs are no longer copied as they change.
constexpr std::uint32_t kKeepCopyingMs = 1000;
// How long a reading waits for a new frame of every output.
constexpr int kFrameWaitMs = 2000;

bool redFirst(std::uint32_t format) {
    return format == WL_SHM_FORMAT_ABGR8888 || format == WL_SHM_FORMAT_XBGR8888;
}

// A frame pixel as 0x00RRGGBB.
std::uint32_t framePixel(const WaylandOutputCapture::Frame& frame, int x, int y) {
    const int row = frame.bottomUp ? frame.height - 1 - y : y;
    std::uint32_t value = 0;
    std::memcpy(&value, frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.stride + 4 * x, 4);
    if (redFirst(frame.format))
        value = (value & 0x00ff00u) | ((value & 0xffu) << 16) | ((value >> 16) & 0xffu);
    return value & 0xffffffu;
}

int floorDiv(long long a, long long b) {
    return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
}

int ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}

// Frame pixels `from`..`from + count` of `frameSize` pixels, in the `logicalSize` logical pixels they show.
std::pair<int, int> logicalSpan(int from, int count, int frameSize, int logicalSize) {
    const int first = floorDiv(static_cast<long long>(from) * logicalSize, frameSize);
    const int end = ceilDiv(static_cast<long long>(from + count) * logicalSize, frameSize);
    return {std::max(first, 0), std::min(end, logicalSize)};
}

// The frame pixel that shows a logical pixel's centre.
int framePosition(int logical, int logicalSize, int frameSize) {
    return static_cast<int>((2LL * logical + 1) * frameSize / (2LL * logicalSize));
}
} // namespace

WaylandScreen::WaylandScreen(WaylandConnection& connection, WaylandLayout& layout, IClock& clock)
    : m_connection(connection), m_layout(layout), m_clock(clock) {}

WaylandScreen::~WaylandScreen() = default;

TSize WaylandScreen::screenSize() {
    m_connection.dispatchArrived();
    const TRect primary = primaryMonitorArea(m_layout.monitors(), {});
    return {primary.width, primary.height};
}

std::vector<TRect> WaylandScreen::monitorAreas() {
    m_connection.dispatchArrived();
    const TPoint origin = m_layout.origin();
    std::vector<TRect> areas;
    for (const MonitorInfo& monitor : m_layout.monitors())
        areas.push_back(
            {monitor.area.left - origin.x, monitor.area.top - origin.y, monitor.area.width, monitor.area.height});
    return areas;
}

void WaylandScreen::rebuild() {
    m_captures.clear();
    m_received.clear();
    m_extent = m_layout.extent();
    m_picture.assign(static_cast<std::size_t>(m_extent.width) * static_cast<std::size_t>(m_extent.height), 0);
    m_changesKnown = false;
    for (const auto& output : m_connection.outputs()) {
        if (!output->described)
            continue;
        const std::size_t index = m_captures.size();
        m_captures.push_back(std::make_unique<WaylandOutputCapture>(
            m_connection, *output,
            [this, index](const WaylandOutputCapture::Frame& frame) { return takeFrame(index, frame); }));
        m_received.push_back(false);
    }
}

bool WaylandScreen::refresh(bool waitForCompositor) {
    if (waitForCompositor)
        m_connection.roundTrip();
    else
        m_connection.dispatchArrived();
    const bool layoutChanged = m_connection.takeLayoutChange();
    if (std::exchange(m_primaryChanged, false) || layoutChanged)
        rebuild();
    m_lastReading = m_clock.tickCount();
    return awaitFrames();
}

// Outputs that are not being copied (the first reading, a new layout, a refused copy, a pause in the readings) are
// started, and the reading waits for their first whole frame; what changed meanwhile is then unknown.
bool WaylandScreen::awaitFrames() {
    std::vector<std::size_t> started;
    for (std::size_t i = 0; i < m_captures.size(); ++i) {
        if (!m_captures[i]->copying() || m_captures[i]->failed()) {
            m_captures[i]->start();
            m_received[i] = false;
            started.push_back(i);
        }
    }
    if (started.empty())
        return true;
    m_changesKnown = false;
    const auto arrived = [this, &started] {
        return std::ranges::all_of(started, [this](std::size_t i) { return m_received[i]; });
    };
    const std::uint32_t start = m_clock.tickCount();
    while (!arrived() && std::ranges::none_of(m_captures, &WaylandOutputCapture::failed) &&
           m_clock.tickCount() - start < static_cast<std::uint32_t>(kFrameWaitMs))
        m_connection.dispatchWaiting(kFrameWaitMs);
    return arrived();
}

bool WaylandScreen::takeFrame(std::size_t output, const WaylandOutputCapture::Frame& frame) {
    if (frame.damage == nullptr) {
        compose(output, frame, {0, 0, frame.width, frame.height});
    } else {
        for (const TRect& area : *frame.damage)
            compose(output, frame, area);
    }
    m_received[output] = true;
    return m_clock.tickCount() - m_lastReading < kKeepCopyingMs;
}

void WaylandScreen::compose(std::size_t output, const WaylandOutputCapture::Frame& frame, TRect area) {
    const TRect logical = m_captures[output]->output().logical;
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0 || logical.width <= 0 || logical.height <= 0)
        return;
    const auto [left, right] = logicalSpan(area.left, area.width, frame.width, logical.width);
    const auto [top, bottom] = logicalSpan(area.top, area.height, frame.height, logical.height);
    const bool unscaled = frame.width == logical.width && frame.height == logical.height;
    const int pictureLeft = logical.left - m_extent.left;
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = pictureRow(logical.top + y) + pictureLeft;
        if (unscaled && !redFirst(frame.format)) {
            // The picture keeps the compositor's X,R,G,B pixels as they come.
            const int sourceRow = frame.bottomUp ? frame.height - 1 - y : y;
            std::memcpy(row + left, frame.pixels + static_cast<std::ptrdiff_t>(sourceRow) * frame.stride + 4 * left,
                        4 * static_cast<std::size_t>(right - left));
            continue;
        }
        const int sourceY = unscaled ? y : framePosition(y, logical.height, frame.height);
        for (int x = left; x < right; ++x)
            row[x] = framePixel(frame, unscaled ? x : framePosition(x, logical.width, frame.width), sourceY);
    }
    if (right > left && bottom > top) {
        const TPoint origin = m_layout.origin();
        m_changed.push_back({logical.left + left - origin.x, logical.top + top - origin.y, right - left, bottom - top});
    }
}

std::uint32_t WaylandScreen::layoutPixel(int x, int y) const {
    if (x < m_extent.left || y < m_extent.top || x >= m_extent.left + m_extent.width ||
        y >= m_extent.top + m_extent.height)
        return 0;
    return m_picture[static_cast<std::size_t>(y - m_extent.top) * static_cast<std::size_t>(m_extent.width) +
                     static_cast<std::size_t>(x - m_extent.left)];
}

// The part on the picture is converted row by row as X11's images are; the rest of the rectangle is black.
bool WaylandScreen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    if (!refresh(false))
        return false;
    const TPoint start = rootFromProgram({left, top}, m_layout.origin());
    const int fromX = std::clamp(m_extent.left - start.x, 0, width);
    const int toX = std::clamp(m_extent.left + m_extent.width - start.x, fromX, width);
    const int fromY = std::clamp(m_extent.top - start.y, 0, height);
    const int toY = std::clamp(m_extent.top + m_extent.height - start.y, fromY, height);
    const auto rowOut = [&](int y) { return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * lineWidth; };
    for (int y = 0; y < height; ++y) {
        const bool onPicture = y >= fromY && y < toY;
        std::memset(rowOut(y), 0, 3 * static_cast<std::size_t>(onPicture ? fromX : width));
        if (onPicture)
            std::memset(rowOut(y) + 3 * toX, 0, 3 * static_cast<std::size_t>(width - toX));
    }
    if (toX > fromX && toY > fromY) {
        const std::uint32_t* first = pictureRow(start.y + fromY) + (start.x + fromX - m_extent.left);
        convertPixelRows({reinterpret_cast<const std::uint8_t*>(first), static_cast<std::ptrdiff_t>(m_extent.width) * 4,
                          PixelLayout{}},
                         toX - fromX, toY - fromY,
                         {rowOut(fromY) + 3 * fromX, -static_cast<std::ptrdiff_t>(lineWidth)});
    }
    return true;
}

std::uint32_t WaylandScreen::pixelColor(int x, int y) {
    if (!refresh(false))
        return 0;
    const TPoint at = rootFromProgram({x, y}, m_layout.origin());
    const std::uint32_t pixel = layoutPixel(at.x, at.y);
    return ((pixel & 0xffu) << 16) | (pixel & 0xff00u) | ((pixel >> 16) & 0xffu);
}

std::vector<std::string> WaylandScreen::outputNames() {
    m_connection.dispatchArrived();
    std::vector<std::string> names;
    for (const auto& output : m_connection.outputs())
        if (output->described)
            names.push_back(output->name);
    return names;
}

void WaylandScreen::choosePrimary(const std::string& name) {
    m_layout.choosePrimary(name);
    m_primaryChanged = true;
}

std::optional<std::vector<TRect>> WaylandScreen::changedAreas() {
    const bool fresh = refresh(true);
    if (!fresh || !m_changesKnown) {
        m_changesKnown = fresh;
        m_changed.clear();
        return std::nullopt;
    }
    return std::exchange(m_changed, {});
}
