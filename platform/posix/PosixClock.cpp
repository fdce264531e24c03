#include "platform/posix/PosixClock.h"

#include <cmath>
#include <time.h>

namespace {
constexpr double secondsPerDay = 24.0 * 60 * 60;

timespec monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}
} // namespace

std::optional<std::uint64_t> PosixClock::performanceCounter() {
    const timespec now = monotonicNow();
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
}

std::uint32_t PosixClock::tickCount() {
    const timespec now = monotonicNow();
    const std::uint64_t milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1'000'000;
    return static_cast<std::uint32_t>(milliseconds);
}

double PosixClock::timeOfDay() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return fractionOfDay(local, now.tv_nsec);
}

double fractionOfDay(const std::tm& when, long nanoseconds) {
    // A leap second (tm_sec 60) would reach a whole day; the day's last instant stands for it.
    const double seconds = when.tm_hour * 3600.0 + when.tm_min * 60.0 + when.tm_sec + nanoseconds / 1e9;
    const double fraction = seconds / secondsPerDay;
    return fraction < 1.0 ? fraction : std::nextafter(1.0, 0.0);
}
