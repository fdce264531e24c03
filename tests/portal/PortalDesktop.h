#pragma once

// A private headless desktop with the desktop portals for one test, as GNOME and KDE Plasma offer them (GnomeHeadless,
// KdeHeadless): a session bus, PipeWire and WirePlumber, the compositor with one virtual monitor, and the portals,
// which the bus starts when first asked (xdg-desktop-portal, and through it the desktop's own backend and the
// accessibility bus its dialogs need). Everything runs as the test user (TestUser.h) in a folder of the test's own and
// is stopped when the object goes: the processes it started by their ids, then every process left that runs in its
// runtime folder (what the bus started).

#include "TestUser.h"
#include "UserProcess.h"
#include "WaylandSession.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The virtual monitor, in pixels.
struct MonitorSize {
    int width = 1920;
    int height = 1080;
};

class PortalDesktop : public WaylandSession {
public:
    PortalDesktop(const PortalDesktop&) = delete;
    PortalDesktop& operator=(const PortalDesktop&) = delete;
    ~PortalDesktop() override;

    const TestUser& user() const override { return m_user; }
    const std::filesystem::path& folder() const override { return m_folder; }
    // WAYLAND_DISPLAY, XDG_RUNTIME_DIR, DBUS_SESSION_BUS_ADDRESS, XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE, and HOME,
    // XDG_CONFIG_HOME and XDG_STATE_HOME in the test's folder.
    const Environment& environment() const override { return m_environment; }

    // The version of the portal's interface org.freedesktop.portal.<name> ("RemoteDesktop", "ScreenCast",
    // "GlobalShortcuts"); 0 when the portal does not offer it.
    unsigned portalVersion(const std::string& interface) const;
    // What the compositor, the bus and the services it started have written so far.
    std::string log() const;

protected:
    // The compositor's socket in the runtime folder; fixed, so that the services the bus starts know it from the start.
    static constexpr const char* waylandDisplay = "wayland-0";

    // Starts the session bus, PipeWire and WirePlumber of the desktop named (XDG_CURRENT_DESKTOP: "GNOME", "KDE").
    // Throws std::runtime_error when one of them does not come up.
    PortalDesktop(const std::string& desktopName, const std::string& folderPrefix);

    // Starts the compositor, which must open environment()'s WAYLAND_DISPLAY and then own `busName` on the session
    // bus, and waits until the portal answers. Throws std::runtime_error, with the log, when that does not happen.
    void startCompositor(const std::vector<std::string>& command, const std::string& busName);

private:
    UserProcess& start(const std::vector<std::string>& command, const std::string& logName);
    void waitForSocket(const std::string& name, UserProcess& process) const;
    void stop();

    TestUser m_user;
    std::filesystem::path m_folder;
    std::filesystem::path m_runtime;
    Environment m_environment;
    // Stopped last first.
    std::vector<std::unique_ptr<UserProcess>> m_processes;
};
