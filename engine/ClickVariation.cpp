#include "engine/ClickVariation.h"

#include "platform/Mouse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// How late a timer tick may come on a busy desktop; a double click's schedule leaves this much of the system's time.
constexpr int kLateTickAllowance = 50;

struct ButtonFlags {
    std::uint32_t down;
    std::uint32_t up;
};

ButtonFlags FlagsOf(TMouseType button) {
    switch (button) {
    case mtLeft:
        return {MouseButtonEvent::LeftDown, MouseButtonEvent::LeftUp};
    case mtRight:
        return {MouseButtonEvent::RightDown, MouseButtonEvent::RightUp};
    default:
        return {MouseButtonEvent::MiddleDown, MouseButtonEvent::MiddleUp};
    }
}

int DrawHoldTime(const TMouseObj& click, TClickRandom& random) {
    const int shortest = std::clamp(click.fHoldTime, 0, kMaxHoldTime);
    const int longest = std::clamp(click.fHoldTimeTo, 0, kMaxHoldTime);
    if (longest <= shortest)
        return shortest;
    return std::uniform_int_distribution<int>(shortest, longest)(random);
}

} // namespace

TPoint JitteredPoint(TPoint target, int radius, std::span<const TRect> monitors, TClickRandom& random) {
    if (radius <= 0)
        return target;
    const double direction = std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random);
    const double distance = std::uniform_real_distribution<double>(0, std::min(radius, kMaxJitter))(random);
    // Cut towards the target, never rounded away from it, so that the place stays within the radius.
    TPoint spot{target.x + static_cast<int>(std::trunc(distance * std::cos(direction))),
                target.y + static_cast<int>(std::trunc(distance * std::sin(direction)))};
    if (const TRect* monitor = MonitorShowing(monitors, target)) {
        spot.x = std::clamp(spot.x, monitor->left, monitor->left + monitor->width - 1);
        spot.y = std::clamp(spot.y, monitor->top, monitor->top + monitor->height - 1);
    }
    return spot;
}

const TRect* MonitorShowing(std::span<const TRect> monitors, TPoint point) {
    for (const TRect& monitor : monitors)
        if (point.x >= monitor.left && point.x < monitor.left + monitor.width && point.y >= monitor.top &&
            point.y < monitor.top + monitor.height)
            return &monitor;
    return nullptr;
}

int LongestDoubleClickHold(int doubleClickTime) {
    return std::max(0, (doubleClickTime - kLateTickAllowance) / 2);
}

std::vector<TButtonStep> ButtonSteps(const TMouseObj& click, int doubleClickTime, TClickRandom& random) {
    const auto [down, up] = FlagsOf(click.mouseType);
    switch (click.actionType) {
    case atSingle:
        return {{down, DrawHoldTime(click, random)}, {up, 0}};
    case atDouble: {
        const int longest = LongestDoubleClickHold(doubleClickTime);
        const int first = std::min(DrawHoldTime(click, random), longest);
        const int second = std::min(DrawHoldTime(click, random), longest);
        return {{down, first}, {up, 0}, {down, second}, {up, 0}};
    }
    case atUp:
        return {{up, 0}};
    default:
        return {{down, 0}};
    }
}
