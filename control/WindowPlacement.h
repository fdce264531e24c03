#pragma once

#include "control/MouseCtrlView.h"

#include <vector>

// The stored window bounds made usable on the monitors there are now (their work areas, the primary first): the
// window is no larger than the desktop and can be reached on a monitor. Sane bounds are given back unchanged; with
// no monitors known they are kept as they are.
TRect FitOnMonitors(const TRect& stored, const std::vector<TRect>& monitors);
