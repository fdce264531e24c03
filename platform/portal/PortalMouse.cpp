#include "platform/portal/PortalMouse.h"

#include "platform/PrimaryMonitor.h"
#include "platform/portal/PortalSession.h"
#include "platform/wayland/WaylandLayout.h"
#include "platform/wayland/WaylandMouse.h"

#include <algorithm>

namespace {
long long distanceSquared(TPoint point, TRect area) {
    const long long dx = point.x - std::clamp(point.x, area.left, area.left + area.width - 1);
    const long long dy = point.y - std::clamp(point.y, area.top, area.top + area.height - 1);
    return dx * dx + dy * dy;
}
} // namespace

void PortalMouse::prepare() {
    const PortalSession::State state = m_session.state();
    if (state == PortalSession::State::Idle || state == PortalSession::State::Failed)
        m_session.start();
}

TPoint PortalMouse::cursorPos() {
    return programFromRoot(m_lastPut, m_layout.origin());
}

void PortalMouse::setCursorPos(int x, int y) {
    m_session.requireStarted();
    const TPoint point = rootFromProgram({x, y}, m_layout.origin());
    const auto& streams = m_session.streams();
    const auto nearest = std::ranges::min_element(
        streams, {}, [point](const PortalSession::Stream& stream) { return distanceSquared(point, stream.area); });
    const TRect area = nearest->area;
    const int onX = std::clamp(point.x, area.left, area.left + area.width - 1);
    const int onY = std::clamp(point.y, area.top, area.top + area.height - 1);
    m_session.movePointer(*nearest, onX - area.left, onY - area.top);
    m_lastPut = {onX, onY};
}

void PortalMouse::sendButtonEvent(std::uint32_t flag) {
    m_session.requireStarted();
    const std::optional<WaylandButtonAction> action = waylandButtonActionFor(flag);
    if (action && !m_session.pressButton(static_cast<int>(action->button), action->press))
        throw TClickDropped("the desktop is still busy with the clicks before");
}
