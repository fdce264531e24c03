#include <gtest/gtest.h>

#include "XWindows.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <functional>
#include <thread>

Window findBelow(Display* display, Window top, const std::function<bool(Window)>& matches) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, top, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = matches(children[i]) ? children[i] : findBelow(display, children[i], matches);
    if (children)
        XFree(children);
    return found;
}

Window findWindowTitled(Display* display, Window top, const std::string& title) {
    return findBelow(display, top, [display, &title](Window window) {
        char* name = nullptr;
        if (!XFetchName(display, window, &name) || !name)
            return false;
        const bool match = title == name;
        XFree(name);
        return match;
    });
}

namespace {
Window findOfClass(Display* display, Window top, const std::string& resourceName) {
    return findBelow(display, top, [display, &resourceName](Window window) {
        XClassHint hint = {};
        if (!XGetClassHint(display, window, &hint))
            return false;
        const bool match = hint.res_name && resourceName == hint.res_name;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return match;
    });
}
} // namespace

Window waitForDescendant(Display* display, Window ancestor, const std::string& resourceName) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (Window window = findOfClass(display, ancestor, resourceName))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

Window waitForWindow(Display* display, const std::string& title) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (Window window = findWindowTitled(display, DefaultRootWindow(display), title))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

void sendDeleteWindow(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

bool isViewable(Display* display, Window window) {
    // The window may be gone (a dialog freed after it closed): that is an answer, not an error that ends the test.
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes = {};
    const bool known = XGetWindowAttributes(display, window, &attributes) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    return known && attributes.map_state == IsViewable;
}

void centreOf(Display* display, Window window, int& x, int& y) {
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display, window, &attributes);
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2, attributes.height / 2, &x,
                          &y, &child);
}

void clickAt(Display* display, int x, int y, unsigned button) {
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

void originOf(Display* display, Window window, int& x, int& y) {
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
}

void dragWithLeftButton(Display* display, int fromX, int fromY, int toX, int toY) {
    const auto settle = [display] {
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    };
    XTestFakeMotionEvent(display, -1, fromX, fromY, CurrentTime);
    settle();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    settle();
    XTestFakeMotionEvent(display, -1, (fromX + toX) / 2, (fromY + toY) / 2, CurrentTime);
    settle();
    XTestFakeMotionEvent(display, -1, toX, toY, CurrentTime);
    settle();
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

bool waitUntilViewable(Display* display, Window window) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (isViewable(display, window))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
