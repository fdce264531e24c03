#pragma once

#include "platform/Clock.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "platform/x11/X11HotKeys.h"

#include <memory>
#include <string>

class X11Connection;
class X11Mouse;
class X11Screen;
class PosixClock;

// The real platform on X11: pointer, buttons and screen over one connection, hotkeys over their own, and the
// system clock. The event loop comes from the window toolkit.
class X11Backend {
public:
    // Nothing when the display cannot be opened; x11UnavailableReason() then says why. The connections opened here
    // are the ones kept: nothing is opened before them only to look.
    static std::unique_ptr<X11Backend> open(const std::string& displayName = {});
    X11Backend(const X11Backend&) = delete;
    X11Backend& operator=(const X11Backend&) = delete;
    ~X11Backend();

    IMouse& mouse();
    IScreen& screen();
    X11HotKeys& hotKeys();
    IClock& clock();

private:
    X11Backend() = default;

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11Mouse> m_mouse;
    std::unique_ptr<X11Screen> m_screen;
    std::unique_ptr<X11HotKeys> m_hotKeys;
    std::unique_ptr<PosixClock> m_clock;
};
