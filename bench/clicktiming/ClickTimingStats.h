#pragma once

#include <cstddef>
#include <vector>

// How closely a series of clicks kept a fixed interval, from the times their presses were received.
struct ClickTimingStats {
    std::size_t clicks = 0;
    // |(t[k] - t[k-1]) - interval| over all consecutive pairs, in ms.
    double medianIntervalError = 0;
    double p99IntervalError = 0;
    double meanInterval = 0;
    // t[k] - (t[0] + k * interval) for the last click, and the one farthest from 0 over the run, in ms; a click
    // series that keeps its schedule stays near 0 however long it runs.
    double finalDrift = 0;
    double maxDrift = 0;
    // Clicks after the first divided by the time from the first to the last.
    double clicksPerSecond = 0;
};

// Nearest-rank percentile (0 < percent <= 100) of `values`; 0 for no values.
double Percentile(std::vector<double> values, double percent);

// The figures of presses received at `timesMs` (ascending) for clicks meant every `intervalMs`.
// Fewer than two presses give only the count.
ClickTimingStats ComputeClickTimingStats(const std::vector<double>& timesMs, double intervalMs);

// The most presses in a row that each came less than half an interval after the one before; 1 when none came in a
// burst, 0 for no presses.
std::size_t LargestBurst(const std::vector<double>& timesMs, double intervalMs);
// How far the last press lies from the nearest slot of the schedule t[0] + k x interval, in ms: a schedule kept
// through dropped slots stays near 0, one restarted after a delay keeps the delay.
double FinalGridOffset(const std::vector<double>& timesMs, double intervalMs);
