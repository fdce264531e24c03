#include "platform/fake/FakeMouse.h"

#include "platform/fake/FakeEventLoop.h"

#include <utility>

namespace {
constexpr std::uint32_t kDownFlags =
    MouseButtonEvent::LeftDown | MouseButtonEvent::RightDown | MouseButtonEvent::MiddleDown;
constexpr std::uint32_t kUpFlags = MouseButtonEvent::LeftUp | MouseButtonEvent::RightUp | MouseButtonEvent::MiddleUp;
} // namespace

void FakeMouse::setCursorPos(int x, int y) {
    m_pos = {x, y};
    record({FakeMouseEvent::Kind::Move, 0, m_pos, m_clock.now()});
}

void FakeMouse::sendButtonEvent(std::uint32_t flag) {
    if (!m_refusal.empty())
        throw TServiceRefused(m_refusal);
    if (m_droppingPresses && (flag & kDownFlags) != 0)
        throw TClickDropped("busy");
    record({FakeMouseEvent::Kind::Button, flag, m_pos, m_clock.now()});
}

void FakeMouse::sendHeld() {
    m_holding = false;
    for (const FakeMouseEvent& event : std::exchange(m_held, {}))
        deliver(event);
}

void FakeMouse::record(const FakeMouseEvent& event) {
    if (m_holding)
        m_held.push_back(event);
    else
        deliver(event);
}

void FakeMouse::deliver(const FakeMouseEvent& event) {
    m_pressed |= event.flag & kDownFlags;
    // Each up flag is its down flag shifted left by one.
    m_pressed &= ~((event.flag & kUpFlags) >> 1);
    m_events.push_back(event);
}

std::vector<std::uint32_t> FakeMouse::buttonFlags() const {
    std::vector<std::uint32_t> flags;
    for (const FakeMouseEvent& event : m_events)
        if (event.kind == FakeMouseEvent::Kind::Button)
            flags.push_back(event.flag);
    return flags;
}

std::vector<FakeMouseEvent> FakeMouse::buttonEvents(std::uint32_t flag) const {
    std::vector<FakeMouseEvent> matching;
    for (const FakeMouseEvent& event : m_events)
        if (event.kind == FakeMouseEvent::Kind::Button && event.flag == flag)
            matching.push_back(event);
    return matching;
}
