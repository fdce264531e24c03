#pragma once

#include "model/MouseObj.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <random>
#include <span>
#include <vector>

// The random source of the clicks' holds and spread; a test seeds it to get the same clicks every run.
using TClickRandom = std::mt19937;

// Where a click spread over `radius` pixels lands: in a direction drawn evenly and at a distance drawn evenly from 0
// to the radius, so that the centre is hit most often and the places average out at the target; never farther than
// the radius, and never off the monitor that shows the target (a place past its edge lands on the edge).
TPoint JitteredPoint(TPoint target, int radius, std::span<const TRect> monitors, TClickRandom& random);

// The monitor that shows `point`; nullptr when none does.
const TRect* MonitorShowing(std::span<const TRect> monitors, TPoint point);

// The longest hold of each press of a double click whose presses and releases all fall within the system's
// `doubleClickTime`, leaving room for a timer tick that comes late.
int LongestDoubleClickHold(int doubleClickTime);

// One button event of a click, and how long in ms the buttons stay as they are before the next one.
struct TButtonStep {
    std::uint32_t flag;
    int holdAfter;
    friend bool operator==(const TButtonStep&, const TButtonStep&) = default;
};

// The button events of one click: each press held for fHoldTime (or a time drawn from fHoldTime to fHoldTimeTo), a
// release followed at once by what comes next. A double click's holds are cut to what fits its double-click time.
std::vector<TButtonStep> ButtonSteps(const TMouseObj& click, int doubleClickTime, TClickRandom& random);
