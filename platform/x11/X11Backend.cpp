#include "platform/x11/X11Backend.h"

#include "platform/posix/PosixClock.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11HotKeys.h"
#include "platform/x11/X11Monitors.h"
#include "platform/x11/X11Mouse.h"
#include "platform/x11/X11Screen.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
// A server that resets when its last client leaves refuses connections for a moment while it resets, so the
// program's first connection tries again briefly before it gives up. Later connections find the server held.
std::unique_ptr<X11Connection> openFirstConnection(const std::string& displayName) {
    const char* session = std::getenv("DISPLAY");
    const bool named = !displayName.empty() || (session != nullptr && *session != '\0');
    constexpr int kAttempts = 10;
    for (int attempt = 1;; ++attempt) {
        auto connection = X11Connection::open(displayName);
        if (connection || !named || attempt == kAttempts)
            return connection;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
} // namespace

std::unique_ptr<X11Backend> X11Backend::open(const std::string& displayName) {
    std::unique_ptr<X11Backend> backend(new X11Backend);
    backend->m_connection = openFirstConnection(displayName);
    backend->m_hotKeys = X11HotKeys::open(displayName);
    if (!backend->m_connection || !backend->m_hotKeys)
        return nullptr;
    // One reading of the monitors for both, so a found place is clicked where it was seen.
    _XDisplay* display = backend->m_connection->display();
    auto monitors = std::make_shared<X11Monitors>(display);
    backend->m_mouse = std::make_unique<X11Mouse>(display, monitors);
    backend->m_screen = std::make_unique<X11Screen>(display, monitors);
    backend->m_clock = std::make_unique<PosixClock>();
    return backend;
}

X11Backend::~X11Backend() = default;

TBackendReport x11Report(const char* waylandDisplay) {
    if (waylandDisplay == nullptr || *waylandDisplay == '\0')
        return {"x11", "An X11 session.", {}, {}, {}, {}};
    return {"x11",
            "A Wayland session, reached through XWayland.",
            {true, "Only X11 programs receive the clicks: native Wayland windows are out of XWayland's reach."},
            {true, "Only X11 programs are seen: native Wayland windows read as black."},
            {true, "Only while an X11 program has the focus."},
            {true, "Only over X11 programs."}};
}

TBackendReport X11Backend::report() const {
    return x11Report(std::getenv("WAYLAND_DISPLAY"));
}

IMouse& X11Backend::mouse() {
    return *m_mouse;
}

IScreen& X11Backend::screen() {
    return *m_screen;
}

X11HotKeys& X11Backend::hotKeys() {
    return *m_hotKeys;
}

IClock& X11Backend::clock() {
    return *m_clock;
}

void X11Backend::deliverEventsThrough(IForeignLoop& loop) {
    X11HotKeys& hotKeys = *m_hotKeys;
    loop.watchReadable(hotKeys.fileDescriptor(), [&hotKeys] { hotKeys.processPendingEvents(); });
    hotKeys.setOnEventsQueued([&loop, &hotKeys] { loop.post([&hotKeys] { hotKeys.processPendingEvents(); }); });
}
