#pragma once

#include "platform/Geometry.h"

#include <span>

// One monitor as XRandR reports it, in X root-window pixels.
struct MonitorInfo {
    bool primary = false;
    TRect area;
};

// The area the program calls the screen: the monitor flagged primary, else the first one listed, else the root
// window when XRandR lists none.
TRect primaryMonitorArea(std::span<const MonitorInfo> monitors, TSize rootSize);

// The program's positions have their origin at the primary monitor's top-left corner (negative left of and above
// it); X's have it at the root window's. `origin` is the primary monitor's top-left in root pixels.
TPoint rootFromProgram(TPoint program, TPoint origin);
TPoint programFromRoot(TPoint root, TPoint origin);
