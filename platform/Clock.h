#pragma once

#include <cstdint>
#include <optional>

class IClock {
public:
    virtual ~IClock() = default;
    // The high-resolution performance counter, or nothing when the platform has none.
    virtual std::optional<std::uint64_t> performanceCounter() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual std::uint32_t tickCount() = 0;
    // The local time of day as a fraction of a day, 0 <= t < 1.
    virtual double timeOfDay() = 0;
};
