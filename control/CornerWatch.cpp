#include "control/CornerWatch.h"

#include <utility>

TCornerWatch::TCornerWatch(Platform& platform, TProgramMouse& programMouse, std::function<void()> onCorner)
    : m_platform(platform), m_programMouse(programMouse), m_onCorner(std::move(onCorner)) {}

TCornerWatch::~TCornerWatch() {
    m_programMouse.setBeforeMove(nullptr);
}

void TCornerWatch::Watch(bool on) {
    on = on && Available();
    if (on == Watching())
        return;
    m_inCornerSince.reset();
    if (!m_timer) {
        m_timer = m_platform.loop.createTimer();
        m_timer->setInterval(kPollMs);
        m_timer->setOnTick([this] { Poll(); });
    }
    m_timer->setEnabled(on);
    m_programMouse.setBeforeMove(on ? std::function<void()>([this] { Look(); }) : nullptr);
}

bool TCornerWatch::Watching() const {
    return m_timer && m_timer->enabled();
}

bool TCornerWatch::InACorner(TPoint point, std::span<const TRect> monitors) {
    const auto near = [](int value, int edge) { return value >= edge - kCornerReach && value <= edge + kCornerReach; };
    for (const TRect& monitor : monitors) {
        const int right = monitor.left + monitor.width - 1, bottom = monitor.top + monitor.height - 1;
        const bool across = point.x >= monitor.left && point.x <= right;
        const bool down = point.y >= monitor.top && point.y <= bottom;
        if (across && down && (near(point.x, monitor.left) || near(point.x, right)) &&
            (near(point.y, monitor.top) || near(point.y, bottom)))
            return true;
    }
    return false;
}

void TCornerWatch::Look() {
    const TPoint pointer = m_platform.mouse.cursorPos();
    if (m_programMouse.lastPlaced() == pointer)
        return;
    if (!InACorner(pointer, m_platform.screen.monitorAreas()))
        m_inCornerSince.reset();
    else if (!m_inCornerSince)
        m_inCornerSince = m_platform.clock.tickCount();
}

// Unsigned, so that the tick count wrapping around in between changes nothing.
void TCornerWatch::Poll() {
    Look();
    if (m_inCornerSince && m_platform.clock.tickCount() - *m_inCornerSince >= std::uint32_t(kHoldMs)) {
        m_inCornerSince.reset();
        m_onCorner();
    }
}
