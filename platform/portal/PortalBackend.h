#pragma once

#include "platform/Backend.h"
#include "platform/wayland/WaylandHotKeys.h"

#include <filesystem>
#include <memory>
#include <string>

class PipeWireLoop;
class PortalMouse;
class PortalScreen;
class PortalSession;
class PosixClock;
class WaylandConnection;
class WaylandLayout;

// The real platform on GNOME and KDE Plasma under Wayland, whose compositors offer no protocol for clicks and captures:
// both go through the desktop portals (RemoteDesktop with ScreenCast streams over PipeWire), in one session started
// when the first click starts, after the user's leave where the desktop asks for it. The outputs' layout comes from
// the compositor itself. Keys go through the desktop's shortcuts portal where it has one, else they are bound in the
// desktop's settings to commands.
class PortalBackend : public IBackend {
public:
    // Nothing when there is no Wayland session or no remote desktop portal on the session bus; `failure` then says
    // why. The leave the desktop gives to be remembered is kept in `stateFolder`.
    static std::unique_ptr<PortalBackend> open(const std::filesystem::path& stateFolder, std::string& failure);
    PortalBackend(const PortalBackend&) = delete;
    PortalBackend& operator=(const PortalBackend&) = delete;
    ~PortalBackend() override;

    IMouse& mouse() override;
    IScreen& screen() override;
    IClock& clock() override;
    IHotKeys& hotKeys() override { return *m_hotKeys; }
    void deliverEventsThrough(IForeignLoop& loop) override;
    TWindowSystem windowSystem() const override { return TWindowSystem::Wayland; }
    TBackendReport report() const override;

private:
    PortalBackend() = default;

    unsigned m_remoteDesktopVersion = 0;
    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WaylandLayout> m_layout;
    std::unique_ptr<PosixClock> m_clock;
    std::unique_ptr<PipeWireLoop> m_pipeWire;
    std::unique_ptr<PortalSession> m_session;
    std::unique_ptr<PortalMouse> m_mouse;
    std::unique_ptr<PortalScreen> m_screen;
    std::unique_ptr<IHotKeys> m_hotKeys;
};
