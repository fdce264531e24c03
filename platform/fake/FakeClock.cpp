#include "platform/fake/FakeClock.h"

#include "platform/fake/FakeEventLoop.h"

FakeClock::FakeClock(const FakeEventLoop& clock)
    : m_clock(clock), m_counterMark(clock.now()), m_tickCountMark(clock.now()), m_timeOfDayMark(clock.now()) {}

std::optional<std::uint64_t> FakeClock::performanceCounter() {
    if (!m_counter)
        return std::nullopt;
    return *m_counter + m_countsPerMs * static_cast<std::uint64_t>(elapsedSince(m_counterMark));
}

std::uint32_t FakeClock::tickCount() {
    return m_tickCount + static_cast<std::uint32_t>(elapsedSince(m_tickCountMark));
}

double FakeClock::timeOfDay() {
    const std::int64_t passed = m_timeOfDayFollows ? elapsedSince(m_timeOfDayMark) : 0;
    const std::int64_t ms = ((m_msOfDay + passed) % kMsPerDay + kMsPerDay) % kMsPerDay;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

void FakeClock::setPerformanceCounter(std::optional<std::uint64_t> value, std::uint64_t countsPerMs) {
    m_counter = value;
    m_countsPerMs = countsPerMs;
    m_counterMark = m_clock.now();
}

void FakeClock::setTickCount(std::uint32_t value) {
    m_tickCount = value;
    m_tickCountMark = m_clock.now();
}

void FakeClock::setTimeOfDay(std::int64_t msOfDay, bool followClock) {
    m_msOfDay = msOfDay;
    m_timeOfDayFollows = followClock;
    m_timeOfDayMark = m_clock.now();
}

std::int64_t FakeClock::elapsedSince(std::int64_t mark) const {
    return m_clock.now() - mark;
}
