#include "platform/PrimaryMonitor.h"

#include <algorithm>
#include <limits>

namespace {
// Positions far out (a hand-edited scope) stay at the edge of what an int holds rather than wrapping round.
int clampedSum(long long a, long long b) {
    return static_cast<int>(std::clamp(a + b, static_cast<long long>(std::numeric_limits<int>::min()),
                                       static_cast<long long>(std::numeric_limits<int>::max())));
}
} // namespace

TRect primaryMonitorArea(std::span<const MonitorInfo> monitors, TSize rootSize) {
    if (monitors.empty())
        return {0, 0, rootSize.width, rootSize.height};
    const auto primary = std::ranges::find_if(monitors, &MonitorInfo::primary);
    return primary != monitors.end() ? primary->area : monitors.front().area;
}

TPoint rootFromProgram(TPoint program, TPoint origin) {
    return {clampedSum(program.x, origin.x), clampedSum(program.y, origin.y)};
}

TPoint programFromRoot(TPoint root, TPoint origin) {
    return {clampedSum(root.x, -static_cast<long long>(origin.x)),
            clampedSum(root.y, -static_cast<long long>(origin.y))};
}
