#include "TargetClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <ostream>
#include <poll.h>
#include <stdexcept>

namespace {
unsigned long pixelFor(const Visual& visual, std::uint32_t rgb) {
    const auto place = [](std::uint32_t value8, unsigned long mask) -> unsigned long {
        const int shift = std::countr_zero(mask);
        const int bits = std::popcount(mask);
        const unsigned long scaled =
            bits <= 8 ? value8 >> (8 - bits) : static_cast<unsigned long>(value8) << (bits - 8);
        return (scaled << shift) & mask;
    };
    return place((rgb >> 16) & 0xFF, visual.red_mask) | place((rgb >> 8) & 0xFF, visual.green_mask) |
           place(rgb & 0xFF, visual.blue_mask);
}
} // namespace

std::ostream& operator<<(std::ostream& out, const ButtonRecord& record) {
    return out << (record.kind == ButtonRecord::Press ? "press " : "release ") << record.button << ' ' << record.rootX
               << ' ' << record.rootY << ' ' << (record.sendEvent ? 1 : 0);
}

TargetClient::TargetClient(const std::string& displayName) : m_display(XOpenDisplay(displayName.c_str())) {
    if (m_display == nullptr)
        throw std::runtime_error("cannot open display " + displayName);
    const int screen = DefaultScreen(m_display);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(m_display, screen);
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    m_window = XCreateWindow(m_display, DefaultRootWindow(m_display), 0, 0, DisplayWidth(m_display, screen),
                             DisplayHeight(m_display, screen), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(m_display, m_window);
    XSync(m_display, False);
}

TargetClient::~TargetClient() {
    XDestroyWindow(m_display, m_window);
    XCloseDisplay(m_display);
}

bool TargetClient::readEvent(int timeoutMs) {
    if (XPending(m_display) == 0) {
        pollfd waiting{ConnectionNumber(m_display), POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0 || XPending(m_display) == 0)
            return false;
    }
    XEvent event;
    XNextEvent(m_display, &event);
    if (event.type == ButtonPress || event.type == ButtonRelease) {
        const XButtonEvent& button = event.xbutton;
        m_events.push_back({event.type == ButtonPress ? ButtonRecord::Press : ButtonRecord::Release, button.button,
                            button.x_root, button.y_root, button.send_event != 0, button.time});
    }
    return true;
}

const std::vector<ButtonRecord>& TargetClient::waitForButtonEvents(std::size_t count,
                                                                   std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_events.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        readEvent(static_cast<int>(left.count()));
    }
    return m_events;
}

const std::vector<ButtonRecord>& TargetClient::pumpEvents() {
    XSync(m_display, False);
    while (readEvent(0)) {
    }
    return m_events;
}

void TargetClient::paint(int left, int top, int width, int height,
                         const std::function<std::uint32_t(int x, int y)>& colour) {
    const int screen = DefaultScreen(m_display);
    Visual* visual = DefaultVisual(m_display, screen);
    XImage* image =
        XCreateImage(m_display, visual, DefaultDepth(m_display, screen), ZPixmap, 0, nullptr, width, height, 32, 0);
    image->data = static_cast<char*>(calloc(static_cast<std::size_t>(image->bytes_per_line) * height, 1));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            XPutPixel(image, x, y, pixelFor(*visual, colour(left + x, top + y)));
    GC gc = XCreateGC(m_display, m_window, 0, nullptr);
    XPutImage(m_display, m_window, gc, image, 0, 0, left, top, width, height);
    XFreeGC(m_display, gc);
    XDestroyImage(image);
    XSync(m_display, False);
}
