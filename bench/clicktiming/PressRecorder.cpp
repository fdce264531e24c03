#include "PressRecorder.h"

#include <X11/Xlib.h>

#include <poll.h>
#include <time.h>

double MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

PressRecorder::PressRecorder(const std::string& displayName)
    : m_target(displayName), m_reader([this] { readUntilStopped(); }) {}

PressRecorder::~PressRecorder() {
    m_stop = true;
    m_reader.join();
}

void PressRecorder::clear() {
    const std::lock_guard lock(m_mutex);
    m_presses.clear();
}

std::vector<PressTime> PressRecorder::waitForPresses(std::size_t count, std::chrono::milliseconds quiet) {
    std::unique_lock lock(m_mutex);
    for (std::size_t seen = m_presses.size(); m_presses.size() < count; seen = m_presses.size()) {
        m_arrived.wait_for(lock, quiet, [&] { return m_presses.size() >= count; });
        if (m_presses.size() == seen)
            break;
    }
    return m_presses;
}

// Polls with a short timeout only so that the destructor is noticed.
void PressRecorder::readUntilStopped() {
    Display* display = m_target.display();
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (!m_stop) {
        if (XPending(display) == 0 && poll(&connection, 1, 50) <= 0)
            continue;
        readPendingEvents();
    }
}

void PressRecorder::readPendingEvents() {
    Display* display = m_target.display();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ButtonPress)
            continue;
        const PressTime press{MonotonicMs(), event.xbutton.time, event.xbutton.x_root, event.xbutton.y_root};
        const std::lock_guard lock(m_mutex);
        m_presses.push_back(press);
        m_arrived.notify_all();
    }
}
