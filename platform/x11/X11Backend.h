#pragma once

#include "platform/Backend.h"
#include "platform/x11/X11HotKeys.h"

#include <memory>
#include <string>

class X11Connection;
class X11Mouse;
class X11Screen;
class PosixClock;

// What X11 does here: everything on an X11 session; under XWayland (`waylandDisplay` set) only on X11 programs.
TBackendReport x11Report(const char* waylandDisplay);

// The real platform on X11: pointer, buttons and screen over one connection, hotkeys over their own, and the
// system clock. The event loop comes from the window toolkit; the hotkeys' connection is watched from it.
class X11Backend : public IBackend {
public:
    // Nothing when the display cannot be opened; x11UnavailableReason() then says why. The connections opened here
    // are the ones kept: nothing is opened before them only to look.
    static std::unique_ptr<X11Backend> open(const std::string& displayName = {});
    X11Backend(const X11Backend&) = delete;
    X11Backend& operator=(const X11Backend&) = delete;
    ~X11Backend() override;

    IMouse& mouse() override;
    IScreen& screen() override;
    X11HotKeys& hotKeys() override;
    IClock& clock() override;
    TWindowSystem windowSystem() const override { return TWindowSystem::X11; }
    TBackendReport report() const override;
    void deliverEventsThrough(IForeignLoop& loop) override;

private:
    X11Backend() = default;

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11Mouse> m_mouse;
    std::unique_ptr<X11Screen> m_screen;
    std::unique_ptr<X11HotKeys> m_hotKeys;
    std::unique_ptr<PosixClock> m_clock;
};
