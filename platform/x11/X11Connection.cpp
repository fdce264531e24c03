#include "platform/x11/X11Connection.h"

#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>

std::unique_ptr<X11Connection> X11Connection::open(const std::string& displayName) {
    installX11ErrorHandler();
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (display == nullptr)
        return nullptr;
    return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::~X11Connection() {
    XCloseDisplay(m_display);
}

int X11Connection::fileDescriptor() const {
    return ConnectionNumber(m_display);
}

std::string x11UnavailableReason(const char* displayName) {
    if (displayName == nullptr || *displayName == '\0')
        return "Tappora needs an X11 session or XWayland, but no X display is set (DISPLAY is empty).";
    return std::string("Tappora needs an X11 display, but the display \"") + displayName + "\" cannot be opened.";
}
