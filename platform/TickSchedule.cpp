#include "platform/TickSchedule.h"

#include <algorithm>
#include <atomic>

void TickSchedule::restart(Time now, std::chrono::milliseconds interval) {
    m_start = now;
    m_interval = std::max<Time>(interval, Time{1});
    m_slot = 0;
    m_dropped = 0;
}

TickSchedule::Time TickSchedule::nextDue(Time now) {
    const long long next = m_slot + 1;
    if (now < dueOf(next + 1))
        return dueOf(next);
    const long long latest = (now - m_start) / m_interval;
    m_dropped += latest - next;
    m_slot = latest - 1;
    return dueOf(latest);
}

std::uint64_t NewTickBatch() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}
