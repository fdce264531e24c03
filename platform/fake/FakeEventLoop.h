#pragma once

#include "platform/EventLoop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class FakeTimer;

// The user-interface thread's message loop on a virtual clock counted in milliseconds. Time stands still until a
// test lets it pass; the ticks that fall due then fire in due-time order (ties in the order the timers were armed),
// each inside the error guard. Timers keep to start + k x interval and drop slots missed entirely, as the real ones.
// Tick handlers may pump messages, post callbacks and let more time pass, nested.
class FakeEventLoop : public IEventLoop {
public:
    // Nested pumps beyond this depth return at once, so a callback that keeps re-posting itself cannot recurse
    // without end.
    static constexpr int kMaxPumpDepth = 64;

    FakeEventLoop() = default;
    FakeEventLoop(const FakeEventLoop&) = delete;
    FakeEventLoop& operator=(const FakeEventLoop&) = delete;
    ~FakeEventLoop() override;

    std::unique_ptr<ITimer> createTimer() override;
    // Runs the callbacks posted before this call, in order, then every tick due at the current virtual time.
    void processMessages() override;
    // Ticks due at the time the first of them fires form a batch, as on the real loop.
    std::uint64_t tickBatch() const override { return m_runningBatch; }

    // Virtual milliseconds since the loop was made.
    std::int64_t now() const { return m_now; }
    // Lets `ms` pass, firing every tick that falls due on the way; each fires at its own due time.
    void advance(std::int64_t ms);
    // Lets time pass up to `time` (nothing happens when it lies in the past).
    void advanceTo(std::int64_t time);
    // The thread is held for `ms` (the process was stopped, or a handler blocked): time passes and nothing fires.
    // The ticks that fell due meanwhile come late, at the next pump or advance, as the schedule allows: one late
    // tick per timer, then its regular slots again.
    void stall(std::int64_t ms);
    // Queues a callback for the next processMessages(), for example a command that is to run inside a tick's pump.
    // Letting time pass alone does not run it.
    void post(std::function<void()> callback);
    std::size_t postedCount() const { return m_posted.size(); }

    // Timers that exist, and those of them that will tick.
    std::size_t timerCount() const { return m_timers.size(); }
    std::size_t activeTimerCount() const;

private:
    friend class FakeTimer;

    void attach(FakeTimer& timer);
    void detach(FakeTimer& timer);
    std::uint64_t nextArmSequence() { return ++m_armSequence; }
    FakeTimer* earliestDueBy(std::int64_t time) const;
    void fire(FakeTimer& timer);

    std::int64_t m_now = 0;
    std::uint64_t m_armSequence = 0;
    std::vector<FakeTimer*> m_timers;
    std::deque<std::function<void()>> m_posted;
    int m_pumpDepth = 0;
    std::uint64_t m_lastBatch = 0;
    std::int64_t m_batchBegan = 0;
    std::uint64_t m_runningBatch = 0;
};
