#pragma once

#include "platform/Geometry.h"

#include <span>

// One monitor as XRandR reports it.
struct MonitorInfo {
    bool primary = false;
    TSize size;
};

// The size the program calls the screen: the monitor flagged primary, else the first one listed, else the root
// window's size when XRandR lists none.
TSize primaryMonitorSize(std::span<const MonitorInfo> monitors, TSize rootSize);
