#pragma once

#include "platform/Geometry.h"

#include <span>
#include <vector>

// The desktop is the monitors together. Where monitors differ in size, the smallest rectangle holding them all has
// places on no monitor: nothing there is searched or clicked.

// The smallest rectangle holding every monitor; empty without monitors.
TRect DesktopBounds(std::span<const TRect> monitors);
bool OnAMonitor(std::span<const TRect> monitors, TPoint point);
// The pixels of `rect` that lie on a monitor, as rectangles that do not overlap, top to bottom: `rect` itself when
// one monitor holds it.
std::vector<TRect> PartsOnMonitors(const TRect& rect, std::span<const TRect> monitors);
// The largest rectangles of `rect` that lie wholly on monitors: any rectangle of it on monitors (a picture placed
// across two monitors, say) lies inside one of them.
std::vector<TRect> LargestAreasOnMonitors(const TRect& rect, std::span<const TRect> monitors);
