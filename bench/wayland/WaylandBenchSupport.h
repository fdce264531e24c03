#pragma once

// What the Wayland benchmarks share: wall and processor clocks, the machine's load, and the presses a target window
// received, timed as they come.

#include "ProgramOnSway.h"
#include "WaylandTarget.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The steady clock, in ms.
double NowMs();
// This process's processor time so far, in ms.
double OwnCpuMs();
// The load averages over 1, 5 and 15 minutes, as uptime tells them.
std::string LoadAverage();
// The running program's own file, to start parts of it in the compositor's session.
std::string SelfPath();
// Throws `what` unless `holds`.
void Require(bool holds, const std::string& what);

// Each click's state and count as `tappora list --json` tells them, with when they were read (the command's middle).
struct ClickCounts {
    double atMs = 0;
    std::vector<long long> clicks;
    std::size_t running = 0;
};

ClickCounts ReadCounts(const ProgramOnSway& program);

// The presses a target window received, timed as they come out of its report, read by a thread of its own so that
// the target never waits to write.
class PressLog {
public:
    explicit PressLog(WaylandTarget& target);
    PressLog(const PressLog&) = delete;
    PressLog& operator=(const PressLog&) = delete;
    ~PressLog();

    // Waits until a press comes after `sinceMs`; false when none came within `timeout`.
    bool waitForPressAfter(double sinceMs, std::chrono::milliseconds timeout) const;

    struct Window {
        std::vector<double> timesMs;
        // How many different places the presses landed on.
        std::size_t places = 0;
    };
    Window between(double fromMs, double toMs) const;

private:
    void read();

    WaylandTarget& m_target;
    mutable std::mutex m_mutex;
    std::vector<double> m_times;
    std::vector<std::pair<int, int>> m_places;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};
