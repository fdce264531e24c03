#include "platform/x11/X11Mouse.h"

#include "platform/PrimaryMonitor.h"
#include "platform/x11/X11Monitors.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

std::optional<XButtonAction> xButtonActionFor(std::uint32_t flag) {
    switch (flag) {
    case MouseButtonEvent::LeftDown:
        return XButtonAction{Button1, true};
    case MouseButtonEvent::LeftUp:
        return XButtonAction{Button1, false};
    case MouseButtonEvent::MiddleDown:
        return XButtonAction{Button2, true};
    case MouseButtonEvent::MiddleUp:
        return XButtonAction{Button2, false};
    case MouseButtonEvent::RightDown:
        return XButtonAction{Button3, true};
    case MouseButtonEvent::RightUp:
        return XButtonAction{Button3, false};
    default:
        return std::nullopt;
    }
}

X11Mouse::X11Mouse(Display* display, std::shared_ptr<X11Monitors> monitors)
    : m_display(display), m_monitors(monitors ? std::move(monitors) : std::make_shared<X11Monitors>(display)) {}

// The monitors are read in the same round trip, so a captured point follows their layout.
TPoint X11Mouse::cursorPos() {
    xcb_connection_t* connection = XGetXCBConnection(m_display);
    const X11Monitors::Question layout = m_monitors->ask();
    const auto pointerCookie = xcb_query_pointer(connection, static_cast<xcb_window_t>(DefaultRootWindow(m_display)));
    xcb_query_pointer_reply_t* pointer = xcb_query_pointer_reply(connection, pointerCookie, nullptr);
    const TRect primary = m_monitors->answer(layout);
    const TPoint root = pointer != nullptr ? TPoint{pointer->root_x, pointer->root_y} : TPoint{};
    std::free(pointer);
    return programFromRoot(root, {primary.left, primary.top});
}

// A move alone does not wait for the server: the layout is read again only when the server told of a new one.
void X11Mouse::setCursorPos(int x, int y) {
    const TPoint root = rootFromProgram({x, y}, m_monitors->origin());
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), root.x, root.y, CurrentTime);
    send();
}

void X11Mouse::sendButtonEvent(std::uint32_t flag) {
    const auto action = xButtonActionFor(flag);
    if (!action)
        return;
    XTestFakeButtonEvent(m_display, action->button, action->press ? True : False, CurrentTime);
    send();
}

void X11Mouse::sendHeld() {
    m_holding = false;
    send();
}

void X11Mouse::send() {
    if (!m_holding)
        XFlush(m_display);
}
