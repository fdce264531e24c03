#pragma once

#include "platform/Clock.h"

#include <ctime>

// The system's clocks: the monotonic clock for the counter and tick count, local wall time for the time of day.
class PosixClock : public IClock {
public:
    std::optional<std::uint64_t> performanceCounter() override;
    std::uint32_t tickCount() override;
    double timeOfDay() override;
};

// The fraction of the day that the local time `when` has reached, with its nanoseconds.
double fractionOfDay(const std::tm& when, long nanoseconds);
