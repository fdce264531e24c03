#include "platform/Backend.h"

#include "platform/portal/PortalBackend.h"
#include "platform/posix/UserFolders.h"
#include "platform/wayland/WaylandBackend.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Connection.h"

#include <cstdlib>

namespace {
std::unique_ptr<IBackend> openX11(std::string& failure) {
    std::unique_ptr<X11Backend> backend = X11Backend::open();
    if (!backend)
        failure = x11UnavailableReason(std::getenv("DISPLAY"));
    return backend;
}

std::unique_ptr<IBackend> openPortal(std::string& failure) {
    return PortalBackend::open(stateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")), failure);
}

bool inWaylandSession() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display != nullptr && *display != '\0';
}
} // namespace

// On Linux, in a Wayland session: wlroots where the compositor offers its protocols, else the desktop's portals (GNOME,
// KDE); X11 otherwise, also through XWayland where neither works.
std::unique_ptr<IBackend> openBackend(std::string_view requested, std::string& failure) {
    if (requested == "x11")
        return openX11(failure);
    if (requested == "wlroots")
        return WaylandBackend::open(failure);
    if (requested == "portal")
        return openPortal(failure);
    if (!requested.empty()) {
        failure = "There is no backend '" + std::string(requested) + "': --backend takes x11, wlroots or portal.";
        return nullptr;
    }
    std::string waylandFailure;
    if (inWaylandSession()) {
        if (std::unique_ptr<IBackend> backend = WaylandBackend::open(waylandFailure))
            return backend;
        std::string portalFailure;
        if (std::unique_ptr<IBackend> backend = openPortal(portalFailure))
            return backend;
        waylandFailure += " " + portalFailure;
    }
    std::unique_ptr<IBackend> backend = openX11(failure);
    if (!backend && !waylandFailure.empty())
        failure = waylandFailure + " " + failure;
    return backend;
}
