#include "control/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

// The template's window, for a stored size that is no size at all.
constexpr int kDefaultWidth = 687;
constexpr int kDefaultHeight = 344;
// How much of the window's top strip must lie on one monitor for the user to grab and move it.
constexpr std::int64_t kGripWidth = 100;
constexpr std::int64_t kGripHeight = 30;

std::int64_t Right(const TRect& r) {
    return std::int64_t(r.left) + r.width;
}

std::int64_t Bottom(const TRect& r) {
    return std::int64_t(r.top) + r.height;
}

// The window's top strip, where it is grabbed to be moved, lies on the monitor: all of its height, and at least a
// grip's width of it.
bool Grabbable(const TRect& window, const TRect& monitor) {
    const std::int64_t stripBottom = window.top + std::min<std::int64_t>(kGripHeight, window.height);
    const std::int64_t shownWidth = std::min(Right(window), Right(monitor)) - std::max(window.left, monitor.left);
    return window.top >= monitor.top && stripBottom <= Bottom(monitor) &&
           shownWidth >= std::min<std::int64_t>(kGripWidth, window.width);
}

std::int64_t Overlap(const TRect& a, const TRect& b) {
    const std::int64_t width = std::min(Right(a), Right(b)) - std::max(a.left, b.left);
    const std::int64_t height = std::min(Bottom(a), Bottom(b)) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The smallest rectangle holding every monitor.
TRect Desktop(const std::vector<TRect>& monitors) {
    std::int64_t left = monitors.front().left, top = monitors.front().top;
    std::int64_t right = Right(monitors.front()), bottom = Bottom(monitors.front());
    for (const TRect& monitor : monitors) {
        left = std::min<std::int64_t>(left, monitor.left);
        top = std::min<std::int64_t>(top, monitor.top);
        right = std::max(right, Right(monitor));
        bottom = std::max(bottom, Bottom(monitor));
    }
    return {int(left), int(top), int(right - left), int(bottom - top)};
}

// The monitor the window overlaps most, else the primary.
const TRect& HomeMonitor(const TRect& window, const std::vector<TRect>& monitors) {
    const auto most = std::max_element(monitors.begin(), monitors.end(), [&](const TRect& a, const TRect& b) {
        return Overlap(window, a) < Overlap(window, b);
    });
    return Overlap(window, *most) > 0 ? *most : monitors.front();
}

int Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return int(std::max(low, std::min(value, high)));
}

} // namespace

TRect FitOnMonitors(const TRect& stored, const std::vector<TRect>& monitors) {
    if (monitors.empty()) {
        return stored;
    }
    const TRect desktop = Desktop(monitors);
    TRect fitted = stored;
    fitted.width = std::min(stored.width > 0 ? stored.width : kDefaultWidth, desktop.width);
    fitted.height = std::min(stored.height > 0 ? stored.height : kDefaultHeight, desktop.height);
    const bool reachable =
        std::any_of(monitors.begin(), monitors.end(), [&](const TRect& monitor) { return Grabbable(fitted, monitor); });
    if (reachable) {
        return fitted;
    }
    const TRect& home = HomeMonitor(fitted, monitors);
    fitted.left = Clamp(fitted.left, home.left, std::max<std::int64_t>(home.left, Right(home) - fitted.width));
    fitted.top = Clamp(fitted.top, home.top, std::max<std::int64_t>(home.top, Bottom(home) - fitted.height));
    return fitted;
}

TRect ClientInFrame(const TRect& wanted, const TRect& frame, const TRect& client) {
    return {wanted.left + (client.left - frame.left), wanted.top + (client.top - frame.top),
            wanted.width - (frame.width - client.width), wanted.height - (frame.height - client.height)};
}
