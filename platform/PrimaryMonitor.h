#pragma once

#include "platform/Geometry.h"

#include <span>

// One monitor as the window system reports it, in its own layout's pixels (X's root window, a Wayland compositor's
// layout).
struct MonitorInfo {
    bool primary = false;
    TRect area;
};

// The area the program calls the screen: the monitor flagged primary, else the first one listed, else the root
// window when none is listed. A Wayland compositor flags none: there the one at the layout's origin, or the user's
// choice, is flagged by the backend.
TRect primaryMonitorArea(std::span<const MonitorInfo> monitors, TSize rootSize);

// The program's positions have their origin at the primary monitor's top-left corner (negative left of and above
// it); X's have it at the root window's, a compositor's at its layout's. `origin` is the primary monitor's top-left
// in root pixels.
TPoint rootFromProgram(TPoint program, TPoint origin);
TPoint programFromRoot(TPoint root, TPoint origin);
