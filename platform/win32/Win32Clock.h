#pragma once

#include "platform/Clock.h"

// The performance counter, the millisecond tick count and the local time of day.
class Win32Clock : public IClock {
public:
    std::optional<std::uint64_t> performanceCounter() override;
    std::uint32_t tickCount() override;
    double timeOfDay() override;
};
