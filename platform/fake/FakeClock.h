#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <optional>

class FakeEventLoop;

// The counters and the time of day, each set by the test and, unless frozen, running on with the virtual clock.
// At first the performance counter reads 0 and counts 10000 per virtual ms, the tick count reads 0 and the time
// of day is midnight, all running.
class FakeClock : public IClock {
public:
    static constexpr std::int64_t kMsPerDay = 86'400'000;

    explicit FakeClock(const FakeEventLoop& clock);

    std::optional<std::uint64_t> performanceCounter() override;
    std::uint32_t tickCount() override;
    double timeOfDay() override;

    // From now on the counter reads `value` plus `countsPerMs` per virtual ms (0: it stands still);
    // no value: the platform has no performance counter.
    void setPerformanceCounter(std::optional<std::uint64_t> value, std::uint64_t countsPerMs = 0);
    // From now on the tick count reads `value` plus the virtual ms passed since.
    void setTickCount(std::uint32_t value);
    // From now on the time of day is `msOfDay` ms after midnight, plus (when following the clock) the virtual ms
    // passed since, wrapping at midnight.
    void setTimeOfDay(std::int64_t msOfDay, bool followClock = true);
    static constexpr std::int64_t msOfDay(int hours, int minutes, int seconds, int ms = 0) {
        return ((hours * 60LL + minutes) * 60 + seconds) * 1000 + ms;
    }

private:
    std::int64_t elapsedSince(std::int64_t mark) const;

    const FakeEventLoop& m_clock;
    std::optional<std::uint64_t> m_counter = 0;
    std::uint64_t m_countsPerMs = 10'000;
    std::int64_t m_counterMark;
    std::uint32_t m_tickCount = 0;
    std::int64_t m_tickCountMark;
    std::int64_t m_msOfDay = 0;
    bool m_timeOfDayFollows = true;
    std::int64_t m_timeOfDayMark;
};
