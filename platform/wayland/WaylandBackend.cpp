#include "platform/wayland/WaylandBackend.h"

#include "platform/posix/PosixClock.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"
#include "platform/wayland/WaylandMouse.h"
#include "platform/wayland/WaylandScreen.h"

std::unique_ptr<WaylandBackend> WaylandBackend::open(std::string& failure) {
    std::unique_ptr<WaylandBackend> backend(new WaylandBackend);
    backend->m_connection = WaylandConnection::open(failure);
    if (!backend->m_connection)
        return nullptr;
    backend->m_layout = std::make_unique<WaylandLayout>(*backend->m_connection);
    backend->m_clock = std::make_unique<PosixClock>();
    backend->m_mouse = std::make_unique<WaylandMouse>(*backend->m_connection, *backend->m_layout);
    backend->m_screen = std::make_unique<WaylandScreen>(*backend->m_connection, *backend->m_layout, *backend->m_clock);
    return backend;
}

WaylandBackend::~WaylandBackend() = default;

IMouse& WaylandBackend::mouse() {
    return *m_mouse;
}

IScreen& WaylandBackend::screen() {
    return *m_screen;
}

IClock& WaylandBackend::clock() {
    return *m_clock;
}

// Frames of the outputs being copied arrive while no reading waits for them; they are taken as they come.
void WaylandBackend::deliverEventsThrough(IForeignLoop& loop) {
    WaylandConnection& connection = *m_connection;
    loop.watchReadable(connection.fileDescriptor(), [&connection] { connection.dispatchArrived(); });
}

TBackendReport WaylandBackend::report() const {
    return {"wlroots",
            "A Wayland session whose compositor offers the wlroots protocols.",
            {},
            {},
            {false, "Wayland lets no program take global keys: bind each key in the compositor to "
                    "\"tappora toggle NAME\" (the click editor shows the line)."},
            {false, "Wayland lets no program read the pointer: clicks at the pointer press where it is, and no click "
                    "can go back after clicking."}};
}
