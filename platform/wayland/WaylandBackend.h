#pragma once

#include "platform/Backend.h"
#include "platform/wayland/WaylandHotKeys.h"

#include <memory>
#include <string>

class PosixClock;
class WaylandConnection;
class WaylandLayout;
class WaylandMouse;
class WaylandScreen;

// The real platform on a wlroots compositor (sway, Hyprland, river, labwc, Wayfire): clicks through a virtual pointer,
// the screen through screen copy, over one connection of its own that the toolkit's loop watches; keys are bound in
// the compositor.
class WaylandBackend : public IBackend {
public:
    // Nothing when there is no Wayland session or its compositor lacks the protocols; `failure` then says why.
    static std::unique_ptr<WaylandBackend> open(std::string& failure);
    WaylandBackend(const WaylandBackend&) = delete;
    WaylandBackend& operator=(const WaylandBackend&) = delete;
    ~WaylandBackend() override;

    IMouse& mouse() override;
    IScreen& screen() override;
    IClock& clock() override;
    WaylandHotKeys& hotKeys() override { return m_hotKeys; }
    void deliverEventsThrough(IForeignLoop& loop) override;
    TWindowSystem windowSystem() const override { return TWindowSystem::Wayland; }
    TBackendReport report() const override;

private:
    WaylandBackend() = default;

    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WaylandLayout> m_layout;
    std::unique_ptr<PosixClock> m_clock;
    std::unique_ptr<WaylandMouse> m_mouse;
    std::unique_ptr<WaylandScreen> m_screen;
    WaylandHotKeys m_hotKeys;
};
