#include "platform/x11/X11Mouse.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

std::optional<XButtonAction> xButtonActionFor(std::uint32_t flag) {
    switch (flag) {
    case MOUSEEVENTF_LEFTDOWN:
        return XButtonAction{Button1, true};
    case MOUSEEVENTF_LEFTUP:
        return XButtonAction{Button1, false};
    case MOUSEEVENTF_MIDDLEDOWN:
        return XButtonAction{Button2, true};
    case MOUSEEVENTF_MIDDLEUP:
        return XButtonAction{Button2, false};
    case MOUSEEVENTF_RIGHTDOWN:
        return XButtonAction{Button3, true};
    case MOUSEEVENTF_RIGHTUP:
        return XButtonAction{Button3, false};
    default:
        return std::nullopt;
    }
}

TPoint X11Mouse::cursorPos() {
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &windowX, &windowY, &mask);
    return {rootX, rootY};
}

void X11Mouse::setCursorPos(int x, int y) {
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), x, y, CurrentTime);
    XFlush(m_display);
}

void X11Mouse::sendButtonEvent(std::uint32_t flag) {
    const auto action = xButtonActionFor(flag);
    if (!action)
        return;
    XTestFakeButtonEvent(m_display, action->button, action->press ? True : False, CurrentTime);
    XFlush(m_display);
}
