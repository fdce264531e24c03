#include "platform/x11/PrimaryMonitor.h"

#include <algorithm>

TSize primaryMonitorSize(std::span<const MonitorInfo> monitors, TSize rootSize) {
    if (monitors.empty())
        return rootSize;
    const auto primary = std::ranges::find_if(monitors, &MonitorInfo::primary);
    return primary != monitors.end() ? primary->size : monitors.front().size;
}
