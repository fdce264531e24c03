#pragma once

#include "platform/EventLoop.h"

#include <functional>
#include <utility>

// The state rules every timer backend shares; a backend only says how a fresh period is armed.
class TimerBase : public ITimer {
public:
    void setEnabled(bool enabled) final {
        if (enabled == m_enabled)
            return;
        m_enabled = enabled;
        rearm();
    }
    bool enabled() const final { return m_enabled; }

    void setInterval(int ms) final {
        if (ms == m_interval)
            return;
        m_interval = ms;
        rearm();
    }
    int interval() const final { return m_interval; }

    void setOnTick(std::function<void()> handler) final { m_onTick = std::move(handler); }

protected:
    // Starts a fresh period from now, or stops ticking when the timer is disabled or its interval is 0.
    virtual void rearm() = 0;
    bool ticking() const { return m_enabled && m_interval > 0; }
    const std::function<void()>& onTick() const { return m_onTick; }

private:
    bool m_enabled = false;
    int m_interval = 0;
    std::function<void()> m_onTick;
};
