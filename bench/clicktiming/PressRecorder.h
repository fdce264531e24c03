#pragma once

#include "TargetClient.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// When a button press reached the target: the receiving thread's CLOCK_MONOTONIC, read as soon as the event has
// been taken off the connection, and the X server's own millisecond timestamp.
struct PressTime {
    double receivedMs = 0;
    unsigned long serverMs = 0;
    // Where the press was, in root coordinates.
    int x = 0;
    int y = 0;
};

// The click target of TargetClient, read on a thread of its own so that presses are timed as they arrive,
// whatever the clicking thread is doing. Xlib must have been made thread-safe (XInitThreads) before any display is
// opened.
class PressRecorder {
public:
    explicit PressRecorder(const std::string& displayName);
    PressRecorder(const PressRecorder&) = delete;
    PressRecorder& operator=(const PressRecorder&) = delete;
    ~PressRecorder();

    // Forgets the presses so far.
    void clear();
    // Paints the target's window, as TargetClient::paint (Xlib's locks keep the reading thread out meanwhile).
    void paint(int left, int top, int width, int height, const std::function<std::uint32_t(int x, int y)>& colour) {
        m_target.paint(left, top, width, height, colour);
    }
    // Waits until `count` presses have arrived or nothing has arrived for `quiet`; returns those so far.
    std::vector<PressTime> waitForPresses(std::size_t count, std::chrono::milliseconds quiet);

private:
    void readUntilStopped();
    void readPendingEvents();

    TargetClient m_target;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<PressTime> m_presses;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};

// CLOCK_MONOTONIC in ms, the clock of every time the click timing compares.
double MonotonicMs();
