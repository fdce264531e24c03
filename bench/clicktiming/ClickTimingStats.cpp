#include "ClickTimingStats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double Percentile(std::vector<double> values, double percent) {
    if (values.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    const std::size_t index = std::clamp<std::size_t>(rank, 1, values.size()) - 1;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

namespace {

std::vector<double> IntervalErrors(const std::vector<double>& timesMs, double intervalMs) {
    std::vector<double> errors;
    for (std::size_t k = 1; k < timesMs.size(); ++k)
        errors.push_back(std::abs(timesMs[k] - timesMs[k - 1] - intervalMs));
    return errors;
}

double Drift(const std::vector<double>& timesMs, double intervalMs, std::size_t k) {
    return timesMs[k] - (timesMs.front() + static_cast<double>(k) * intervalMs);
}

double LargestDrift(const std::vector<double>& timesMs, double intervalMs) {
    double largest = 0;
    for (std::size_t k = 1; k < timesMs.size(); ++k) {
        const double drift = Drift(timesMs, intervalMs, k);
        if (std::abs(drift) > std::abs(largest))
            largest = drift;
    }
    return largest;
}

} // namespace

ClickTimingStats ComputeClickTimingStats(const std::vector<double>& timesMs, double intervalMs) {
    ClickTimingStats stats;
    stats.clicks = timesMs.size();
    if (timesMs.size() < 2)
        return stats;
    const std::vector<double> errors = IntervalErrors(timesMs, intervalMs);
    const double span = timesMs.back() - timesMs.front();
    const auto pairs = static_cast<double>(timesMs.size() - 1);
    stats.medianIntervalError = Percentile(errors, 50);
    stats.p99IntervalError = Percentile(errors, 99);
    stats.meanInterval = span / pairs;
    stats.finalDrift = Drift(timesMs, intervalMs, timesMs.size() - 1);
    stats.maxDrift = LargestDrift(timesMs, intervalMs);
    stats.clicksPerSecond = span > 0 ? pairs * 1000.0 / span : 0;
    return stats;
}

std::size_t LargestBurst(const std::vector<double>& timesMs, double intervalMs) {
    std::size_t largest = timesMs.empty() ? 0 : 1;
    std::size_t run = 1;
    for (std::size_t k = 1; k < timesMs.size(); ++k) {
        run = timesMs[k] - timesMs[k - 1] < intervalMs / 2 ? run + 1 : 1;
        largest = std::max(largest, run);
    }
    return largest;
}

double FinalGridOffset(const std::vector<double>& timesMs, double intervalMs) {
    if (timesMs.size() < 2)
        return 0;
    const double sinceFirst = timesMs.back() - timesMs.front();
    return sinceFirst - std::round(sinceFirst / intervalMs) * intervalMs;
}
