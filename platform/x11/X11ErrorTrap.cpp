#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>

#include <mutex>

int recordX11Error(Display* display, int errorCode);

namespace {
// Xlib calls the handler on the thread that made the failing call, and the backend lives in one thread.
X11ErrorTrap* innermostTrap = nullptr;
// The handler in place before the outermost trap began. Xlib has one handler per process, and a toolkit started
// after the backend (Qt's xcb platform) installs its own, which would leave the traps blind.
XErrorHandler handlerBeforeTraps = nullptr;

int onXError(Display* display, XErrorEvent* error) {
    return recordX11Error(display, error->error_code);
}
} // namespace

int recordX11Error(Display* display, int errorCode) {
    for (X11ErrorTrap* trap = innermostTrap; trap != nullptr; trap = trap->m_outer) {
        if (trap->m_display != display)
            continue;
        if (trap->m_firstErrorCode == 0)
            trap->m_firstErrorCode = errorCode;
        break;
    }
    return 0;
}

void installX11ErrorHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] { XSetErrorHandler(onXError); });
}

X11ErrorTrap::X11ErrorTrap(Display* display) : m_display(display), m_outer(innermostTrap) {
    installX11ErrorHandler();
    // Errors of requests sent before the trap belong to whoever handled errors until now.
    XSync(display, False);
    if (m_outer == nullptr)
        handlerBeforeTraps = XSetErrorHandler(onXError);
    m_firstErrorCode = 0;
    innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(m_display, False);
    innermostTrap = m_outer;
    if (m_outer == nullptr)
        XSetErrorHandler(handlerBeforeTraps);
}

bool X11ErrorTrap::syncAndCheck() {
    XSync(m_display, False);
    return m_firstErrorCode != 0;
}
