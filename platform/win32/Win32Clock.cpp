#include "platform/win32/Win32Clock.h"

#include <windows.h>

std::optional<std::uint64_t> Win32Clock::performanceCounter() {
    LARGE_INTEGER counter{};
    if (!QueryPerformanceCounter(&counter))
        return std::nullopt;
    return static_cast<std::uint64_t>(counter.QuadPart);
}

std::uint32_t Win32Clock::tickCount() {
    return GetTickCount();
}

double Win32Clock::timeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    constexpr double kMillisecondsPerDay = 24.0 * 60 * 60 * 1000;
    const double milliseconds = ((now.wHour * 60.0 + now.wMinute) * 60.0 + now.wSecond) * 1000.0 + now.wMilliseconds;
    return milliseconds / kMillisecondsPerDay;
}
