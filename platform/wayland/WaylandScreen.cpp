#include "platform/wayland/WaylandScreen.h"

#include "platform/Clock.h"
#include "platform/PrimaryMonitor.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"

#include <wayland-client.h>

#include <algorithm>
#include <utility>

namespace {
// Without a reading for this long the outputs are no longer copied as they change.
constexpr std::uint32_t kKeepCopyingMs = 1000;
// How long a reading waits for a new frame of every output.
constexpr int kFrameWaitMs = 2000;

bool redFirst(std::uint32_t format) {
    return format == WL_SHM_FORMAT_ABGR8888 || format == WL_SHM_FORMAT_XBGR8888;
}
} // namespace

WaylandScreen::WaylandScreen(WaylandConnection& connection, WaylandLayout& layout, IClock& clock)
    : WaylandLayoutScreen(connection, layout), m_clock(clock) {}

WaylandScreen::~WaylandScreen() = default;

void WaylandScreen::rebuild() {
    m_captures.clear();
    m_received.clear();
    m_picture.reset(m_layout.extent());
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
    if (takeLayoutChange())
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
    const OutputFrame pixels{frame.pixels,           frame.width,   frame.height, frame.stride,
                             redFirst(frame.format), frame.bottomUp};
    const TRect logical = m_captures[output]->output().logical;
    if (frame.damage == nullptr) {
        m_picture.compose(pixels, logical, {0, 0, frame.width, frame.height}, m_layout.origin());
    } else {
        for (const TRect& area : *frame.damage)
            m_picture.compose(pixels, logical, area, m_layout.origin());
    }
    m_received[output] = true;
    return m_clock.tickCount() - m_lastReading < kKeepCopyingMs;
}

bool WaylandScreen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    if (!refresh(false))
        return false;
    m_picture.copyRect(m_layout.origin(), left, top, width, height, bits, lineWidth);
    return true;
}

std::uint32_t WaylandScreen::pixelColor(int x, int y) {
    if (!refresh(false))
        return 0;
    return m_picture.pixelColor(m_layout.origin(), x, y);
}

std::optional<std::vector<TRect>> WaylandScreen::changedAreas() {
    const bool fresh = refresh(true);
    if (!fresh || !m_changesKnown) {
        m_changesKnown = fresh;
        m_picture.takeChanged();
        return std::nullopt;
    }
    return m_picture.takeChanged();
}
