#include "platform/portal/PortalScreen.h"

#include "platform/Clock.h"
#include "platform/Mouse.h"
#include "platform/portal/PipeWireCapture.h"
#include "platform/portal/PortalSession.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"

#include <stdexcept>
#include <utility>

namespace {
// How long a reading waits for the first frame of every stream.
constexpr std::uint32_t kFirstFrameWaitMs = 2000;
} // namespace

PortalScreen::PortalScreen(WaylandConnection& connection, WaylandLayout& layout, PortalSession& session,
                           PipeWireLoop& loop, IClock& clock)
    : WaylandLayoutScreen(connection, layout), m_session(session), m_loop(loop), m_clock(clock) {}

PortalScreen::~PortalScreen() = default;

void PortalScreen::sessionChanged() {
    if (m_session.state() != PortalSession::State::Started)
        m_capture.reset();
}

void PortalScreen::startCapture() {
    m_picture.reset(m_layout.extent());
    m_changesKnown = false;
    m_streamAreas.clear();
    std::vector<unsigned> nodes;
    for (const PortalSession::Stream& stream : m_session.streams()) {
        nodes.push_back(stream.node);
        m_streamAreas.push_back(stream.area);
    }
    m_capture.reset();
    m_waitedForFirstFrames = false;
    const int fd = m_session.openPipeWireRemote();
    if (fd < 0) {
        m_session.fail("The desktop gave Tappora no access to the screen's streams (OpenPipeWireRemote failed).");
        throw TServiceRefused(m_session.failure());
    }
    m_capture =
        std::make_unique<PipeWireCapture>(m_loop, fd, nodes, [this](std::size_t index, const OutputFrame& frame) {
            m_picture.compose(frame, m_streamAreas[index], {0, 0, frame.width, frame.height}, m_layout.origin());
        });
}

void PortalScreen::refresh() {
    m_connection.dispatchArrived();
    m_session.requireStarted();
    if (!m_capture || takeLayoutChange())
        startCapture();
    m_loop.iterate(0);
    if (!std::exchange(m_waitedForFirstFrames, true)) {
        const std::uint32_t start = m_clock.tickCount();
        while (!m_capture->allReceived() && m_capture->failure().empty() &&
               m_clock.tickCount() - start < kFirstFrameWaitMs)
            m_loop.iterate(static_cast<int>(kFirstFrameWaitMs - (m_clock.tickCount() - start)));
    }
    if (!m_capture->failure().empty()) {
        m_session.fail(m_capture->failure() + " Start a click again to share the screen again.");
        throw TServiceRefused(m_session.failure());
    }
    if (!m_capture->allReceived())
        throw std::runtime_error("the desktop has sent no picture of the screen yet");
}

bool PortalScreen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    refresh();
    m_picture.copyRect(m_layout.origin(), left, top, width, height, bits, lineWidth);
    return true;
}

std::uint32_t PortalScreen::pixelColor(int x, int y) {
    refresh();
    return m_picture.pixelColor(m_layout.origin(), x, y);
}

std::optional<std::vector<TRect>> PortalScreen::changedAreas() {
    refresh();
    if (!std::exchange(m_changesKnown, true)) {
        m_picture.takeChanged();
        return std::nullopt;
    }
    return m_picture.takeChanged();
}
