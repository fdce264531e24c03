#include "platform/fake/FakeEventLoop.h"

#include "platform/ErrorGuard.h"
#include "platform/TickSchedule.h"
#include "platform/TimerBase.h"

#include <algorithm>
#include <utility>

class FakeTimer final : public TimerBase {
public:
    explicit FakeTimer(FakeEventLoop& loop) : m_loop(&loop) { loop.attach(*this); }
    FakeTimer(const FakeTimer&) = delete;
    FakeTimer& operator=(const FakeTimer&) = delete;
    ~FakeTimer() override {
        if (m_loop)
            m_loop->detach(*this);
    }

    bool ticks() const { return m_loop && ticking(); }
    std::int64_t due() const { return m_due; }
    std::uint64_t armSequence() const { return m_armSequence; }
    const std::function<void()>& handler() const { return onTick(); }
    void forgetLoop() { m_loop = nullptr; }

    // A fresh period from the current virtual time.
    void rearm() override {
        if (!ticks())
            return;
        m_schedule.restart(std::chrono::milliseconds(m_loop->now()), std::chrono::milliseconds(interval()));
        armNextTick();
    }

    // The tick due now is delivered: after slots that went by entirely it stands for the latest of them, and the
    // next one is the next slot of the schedule, as on the real loop.
    void delivered() {
        const std::chrono::milliseconds now(m_loop->now());
        m_schedule.nextDue(now);
        m_schedule.delivered();
        armNextTick();
    }

private:
    void armNextTick() {
        const auto due = m_schedule.nextDue(std::chrono::milliseconds(m_loop->now()));
        m_due = std::chrono::duration_cast<std::chrono::milliseconds>(due).count();
        m_armSequence = m_loop->nextArmSequence();
    }

    FakeEventLoop* m_loop;
    TickSchedule m_schedule;
    std::int64_t m_due = 0;
    std::uint64_t m_armSequence = 0;
};

FakeEventLoop::~FakeEventLoop() {
    for (FakeTimer* timer : m_timers)
        timer->forgetLoop();
}

std::unique_ptr<ITimer> FakeEventLoop::createTimer() {
    return std::make_unique<FakeTimer>(*this);
}

void FakeEventLoop::processMessages() {
    if (m_pumpDepth >= kMaxPumpDepth)
        return;
    ++m_pumpDepth;
    std::deque<std::function<void()>> batch;
    batch.swap(m_posted);
    for (const auto& callback : batch)
        runGuarded(callback);
    while (FakeTimer* timer = earliestDueBy(m_now))
        fire(*timer);
    --m_pumpDepth;
}

void FakeEventLoop::advance(std::int64_t ms) {
    advanceTo(m_now + ms);
}

void FakeEventLoop::advanceTo(std::int64_t time) {
    while (FakeTimer* timer = earliestDueBy(time)) {
        m_now = std::max(m_now, timer->due());
        fire(*timer);
    }
    m_now = std::max(m_now, time);
}

void FakeEventLoop::stall(std::int64_t ms) {
    m_now += ms;
}

void FakeEventLoop::post(std::function<void()> callback) {
    m_posted.push_back(std::move(callback));
}

std::size_t FakeEventLoop::activeTimerCount() const {
    return static_cast<std::size_t>(
        std::count_if(m_timers.begin(), m_timers.end(), [](const FakeTimer* timer) { return timer->ticks(); }));
}

void FakeEventLoop::attach(FakeTimer& timer) {
    m_timers.push_back(&timer);
}

void FakeEventLoop::detach(FakeTimer& timer) {
    std::erase(m_timers, &timer);
}

FakeTimer* FakeEventLoop::earliestDueBy(std::int64_t time) const {
    FakeTimer* earliest = nullptr;
    for (FakeTimer* timer : m_timers) {
        if (!timer->ticks() || timer->due() > time)
            continue;
        if (!earliest || timer->due() < earliest->due() ||
            (timer->due() == earliest->due() && timer->armSequence() < earliest->armSequence()))
            earliest = timer;
    }
    return earliest;
}

void FakeEventLoop::fire(FakeTimer& timer) {
    if (m_lastBatch == 0 || timer.due() > m_batchBegan) {
        m_lastBatch = NewTickBatch();
        m_batchBegan = m_now;
    }
    const std::uint64_t outer = std::exchange(m_runningBatch, m_lastBatch);
    timer.delivered();
    // The handler may exchange itself or destroy its timer, so it runs on a copy and the timer is not touched after.
    const std::function<void()> handler = timer.handler();
    if (handler)
        runGuarded(handler);
    m_runningBatch = outer;
}
