#include "platform/portal/PortalBackend.h"

#include "platform/portal/PipeWireCapture.h"
#include "platform/portal/PortalHotKeys.h"
#include "platform/portal/PortalMouse.h"
#include "platform/portal/PortalRequest.h"
#include "platform/portal/PortalScreen.h"
#include "platform/portal/PortalSession.h"
#include "platform/posix/PosixClock.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"

#include <QDBusConnection>

namespace {
// The portal is asked over a connection of its own: the session bus connection proper is made once the toolkit's
// loop exists, which it does not yet while the backend is chosen.
struct PortalVersions {
    unsigned remoteDesktop = 0;
    unsigned globalShortcuts = 0;
};

PortalVersions portalVersions() {
    const QString name = QStringLiteral("tappora-probe");
    PortalVersions versions;
    {
        const QDBusConnection probe = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        if (probe.isConnected() && Portal::interfaceVersion(probe, Portal::kScreenCast) > 0)
            versions.remoteDesktop = Portal::interfaceVersion(probe, Portal::kRemoteDesktop);
        if (probe.isConnected())
            versions.globalShortcuts = Portal::interfaceVersion(probe, Portal::kGlobalShortcuts);
    }
    QDBusConnection::disconnectFromBus(name);
    return versions;
}
} // namespace

std::unique_ptr<PortalBackend> PortalBackend::open(const std::filesystem::path& stateFolder, std::string& failure) {
    std::unique_ptr<PortalBackend> backend(new PortalBackend);
    backend->m_connection = WaylandConnection::open(failure, WaylandConnection::Use::OutputsOnly);
    if (!backend->m_connection)
        return nullptr;
    const PortalVersions versions = portalVersions();
    backend->m_remoteDesktopVersion = versions.remoteDesktop;
    if (versions.globalShortcuts > 0)
        backend->m_hotKeys = std::make_unique<PortalHotKeys>();
    else
        backend->m_hotKeys = std::make_unique<WaylandHotKeys>();
    if (backend->m_remoteDesktopVersion == 0) {
        failure = "The session bus has no remote desktop portal (org.freedesktop.portal.RemoteDesktop with "
                  "ScreenCast): install xdg-desktop-portal with the desktop's own portal (xdg-desktop-portal-gnome or "
                  "xdg-desktop-portal-kde).";
        return nullptr;
    }
    backend->m_layout = std::make_unique<WaylandLayout>(*backend->m_connection);
    backend->m_clock = std::make_unique<PosixClock>();
    backend->m_pipeWire = std::make_unique<PipeWireLoop>();
    backend->m_session = std::make_unique<PortalSession>(stateFolder / "portal-restore-token");
    backend->m_mouse = std::make_unique<PortalMouse>(*backend->m_session, *backend->m_layout);
    backend->m_screen = std::make_unique<PortalScreen>(*backend->m_connection, *backend->m_layout, *backend->m_session,
                                                       *backend->m_pipeWire, *backend->m_clock);
    PortalScreen& screen = *backend->m_screen;
    backend->m_session->setOnStateChange([&screen] { screen.sessionChanged(); });
    return backend;
}

PortalBackend::~PortalBackend() = default;

IMouse& PortalBackend::mouse() {
    return *m_mouse;
}

IScreen& PortalBackend::screen() {
    return *m_screen;
}

IClock& PortalBackend::clock() {
    return *m_clock;
}

// Frames arrive while no reading waits for them and are taken as they come; so are the outputs' changes.
void PortalBackend::deliverEventsThrough(IForeignLoop& loop) {
    WaylandConnection& connection = *m_connection;
    loop.watchReadable(connection.fileDescriptor(), [&connection] { connection.dispatchArrived(); });
    PipeWireLoop& pipeWire = *m_pipeWire;
    loop.watchReadable(pipeWire.fileDescriptor(), [&pipeWire] { pipeWire.iterate(0); });
}

TBackendReport PortalBackend::report() const {
    const bool failed = m_session->state() == PortalSession::State::Failed;
    const TCapability session = failed ? TCapability{false, m_session->failure()} : TCapability{};
    return {"portal",
            m_remoteDesktopVersion >= 2
                ? "A Wayland session with the desktop's remote desktop portal: the desktop asks once whether Tappora "
                  "may control the pointer and see the screen, and remembers the answer."
                : "A Wayland session with the desktop's remote desktop portal: the desktop asks whether Tappora may "
                  "control the pointer and see the screen when the first click starts, at every start of the program.",
            session,
            session,
            m_hotKeys->boundInDesktop()
                ? TCapability{false, "This desktop binds no global keys for Tappora: bind each key in the desktop's "
                                     "settings to \"tappora toggle NAME\" (the click editor shows the command)."}
                : TCapability{true, "The desktop bound Tappora's shortcuts; the list shows keys it bound otherwise."},
            {false, "Wayland lets no program read the pointer: clicks at the pointer press where it is, and no click "
                    "can go back after clicking."}};
}
