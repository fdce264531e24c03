#pragma once

#include <chrono>
#include <cstdint>

// When a repeating timer's next tick is due. Ticks keep to start + k x interval, so a late tick does not push the
// later ones back (no drift); slots that went by entirely while the thread was busy are dropped, so a timer that fell
// behind delivers one late tick and then keeps to the schedule again, never a burst of make-up ticks.
class TickSchedule {
public:
    using Time = std::chrono::nanoseconds; // since any fixed origin of a monotonic clock

    // Starts a fresh schedule: the first tick is due one interval after `now`.
    void restart(Time now, std::chrono::milliseconds interval);
    // The due time of the next tick. When it has passed by a whole interval or more, the missed slots are dropped and
    // the latest slot that has come (at or before `now`) is the next one.
    Time nextDue(Time now);
    // Records that the next tick was delivered.
    void delivered() { ++m_slot; }
    // Slots dropped since the last restart.
    long long dropped() const { return m_dropped; }

private:
    Time dueOf(long long slot) const { return m_start + m_interval * slot; }

    Time m_start{};
    Time m_interval{1};
    long long m_slot = 0; // the last slot delivered
    long long m_dropped = 0;
};

// A number for a new batch of ticks (see IEventLoop::tickBatch), never 0 and never given twice in the process, so
// that the batches of two loops are never taken for one.
std::uint64_t NewTickBatch();
