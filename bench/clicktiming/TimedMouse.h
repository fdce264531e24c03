#pragma once

#include "platform/Mouse.h"

#include "PressRecorder.h"

#include <vector>

// The backend's mouse, noting when each left press is handed to it, so that the event loop's own timing can be told
// apart from the delivery through the X server.
class TimedMouse : public IMouse {
public:
    explicit TimedMouse(IMouse& inner) : m_inner(inner) {}

    TPoint cursorPos() override { return m_inner.cursorPos(); }
    void setCursorPos(int x, int y) override { m_inner.setCursorPos(x, y); }
    void sendButtonEvent(std::uint32_t flag) override {
        if (flag == MouseButtonEvent::LeftDown)
            m_pressesSentMs.push_back(MonotonicMs());
        m_inner.sendButtonEvent(flag);
    }

    const std::vector<double>& pressesSentMs() const { return m_pressesSentMs; }
    void clear() { m_pressesSentMs.clear(); }

private:
    IMouse& m_inner;
    std::vector<double> m_pressesSentMs;
};
