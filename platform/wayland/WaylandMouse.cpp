#include "platform/wayland/WaylandMouse.h"

#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <linux/input-event-codes.h>
#include <stdexcept>
#include <time.h>

namespace {
// The events' time stamps, in milliseconds of the monotonic clock as the compositor's own.
std::uint32_t nowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}
} // namespace

std::optional<WaylandButtonAction> waylandButtonActionFor(std::uint32_t flag) {
    switch (flag) {
    case MouseButtonEvent::LeftDown:
        return WaylandButtonAction{BTN_LEFT, true};
    case MouseButtonEvent::LeftUp:
        return WaylandButtonAction{BTN_LEFT, false};
    case MouseButtonEvent::MiddleDown:
        return WaylandButtonAction{BTN_MIDDLE, true};
    case MouseButtonEvent::MiddleUp:
        return WaylandButtonAction{BTN_MIDDLE, false};
    case MouseButtonEvent::RightDown:
        return WaylandButtonAction{BTN_RIGHT, true};
    case MouseButtonEvent::RightUp:
        return WaylandButtonAction{BTN_RIGHT, false};
    default:
        return std::nullopt;
    }
}

WaylandMouse::WaylandMouse(WaylandConnection& connection, const WaylandLayout& layout)
    : m_connection(connection), m_layout(layout), m_pointer(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(
                                                      connection.pointerManager(), connection.seat())) {
    // The seat gains its pointer with this one; windows learn of it before the first click.
    m_connection.roundTrip();
}

WaylandMouse::~WaylandMouse() {
    zwlr_virtual_pointer_v1_destroy(m_pointer);
    wl_display_flush(m_connection.display());
}

TPoint WaylandMouse::cursorPos() {
    return programFromRoot(m_lastPut, m_layout.origin());
}

// The move is made within the layout's extent: absolute positions outside it have no meaning to the protocol.
void WaylandMouse::setCursorPos(int x, int y) {
    m_connection.dispatchArrived();
    const TRect extent = m_layout.extent();
    if (extent.width <= 0 || extent.height <= 0)
        return;
    const TPoint origin = m_layout.origin();
    const TPoint layout = rootFromProgram({x, y}, origin);
    const int across = std::clamp(layout.x - extent.left, 0, extent.width - 1);
    const int down = std::clamp(layout.y - extent.top, 0, extent.height - 1);
    // In half pixels, to the pixel's centre: a position on its edge could be rounded into the pixel before it.
    zwlr_virtual_pointer_v1_motion_absolute(m_pointer, nowMilliseconds(), static_cast<std::uint32_t>(2 * across + 1),
                                            static_cast<std::uint32_t>(2 * down + 1),
                                            static_cast<std::uint32_t>(2 * extent.width),
                                            static_cast<std::uint32_t>(2 * extent.height));
    zwlr_virtual_pointer_v1_frame(m_pointer);
    wl_display_flush(m_connection.display());
    m_lastPut = {extent.left + across, extent.top + down};
}

void WaylandMouse::sendButtonEvent(std::uint32_t flag) {
    const auto action = waylandButtonActionFor(flag);
    if (!action)
        return;
    zwlr_virtual_pointer_v1_button(m_pointer, nowMilliseconds(), action->button,
                                   action->press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(m_pointer);
    if (wl_display_flush(m_connection.display()) < 0 && errno != EAGAIN)
        throw std::runtime_error("The Wayland compositor took no button event: the connection is lost.");
}
