#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class ITimer {
public:
    virtual ~ITimer() = default;
    // Starts or stops ticking; enabling a disabled timer starts a fresh period, enabling an enabled one changes
    // nothing.
    virtual void setEnabled(bool enabled) = 0;
    // Whether the timer is enabled.
    virtual bool enabled() const = 0;
    // Sets the period in ms: a new value restarts the period of an enabled timer, the same value changes nothing,
    // and 0 never ticks.
    virtual void setInterval(int ms) = 0;
    // The period in ms.
    virtual int interval() const = 0;
    // Exchanges the handler run at each tick, inside the error guard; the timer goes on after a handler throws.
    // The handler runs on a copy, so it may exchange the handler or destroy the timer itself.
    virtual void setOnTick(std::function<void()> handler) = 0;
};

class IEventLoop {
public:
    virtual ~IEventLoop() = default;
    // A new disabled timer with interval 0 whose ticks arrive in the user-interface thread.
    virtual std::unique_ptr<ITimer> createTimer() = 0;
    // Runs every pending message (timer ticks, input, hotkeys) now; handlers may nest inside the caller.
    virtual void processMessages() = 0;
    // The batch of the tick running now: ticks that were all due when the loop took the first of them share a number
    // no other batch has, so what one of them learns of the screen after that moment is no older than any of their
    // due times. 0 outside ticks and on loops that do not tell (every tick learns afresh).
    virtual std::uint64_t tickBatch() const { return 0; }
};
