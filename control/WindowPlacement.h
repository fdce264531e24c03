#pragma once

#include "control/ClickListView.h"

#include <vector>

// The stored window bounds made usable on the monitors there are now (their work areas, the primary first): the
// window is no larger than the desktop and can be reached on a monitor. Sane bounds are given back unchanged; with
// no monitors known they are kept as they are.
TRect FitOnMonitors(const TRect& stored, const std::vector<TRect>& monitors);

// The client area that gives a window the outer frame `wanted`, for a window whose frame is `frame` around `client`
// now.
TRect ClientInFrame(const TRect& wanted, const TRect& frame, const TRect& client);
