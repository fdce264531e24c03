#include "platform/wayland/WaylandConnection.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <utility>

namespace {
// The versions whose events are handled here: wl_output 2 (done, scale), xdg-output 2 (name, done).
constexpr std::uint32_t kOutputVersion = 2;
constexpr std::uint32_t kXdgOutputVersion = 2;
constexpr std::uint32_t kSeatVersion = 1;
constexpr std::uint32_t kScreencopyVersion = 3;

WaylandConnection& connectionOf(void* data) {
    return *static_cast<WaylandConnection*>(data);
}

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    connectionOf(data).addGlobal(registry, name, interface, version);
}

void onGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
    connectionOf(data).removeGlobal(name);
}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

// The logical description comes from xdg-output; wl_output's own events are not needed.
void onOutputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                      const char*, const char*, std::int32_t) {}
void onOutputMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void onOutputDone(void*, wl_output*) {}
void onOutputScale(void*, wl_output*, std::int32_t) {}
void onOutputName(void*, wl_output*, const char*) {}
void onOutputDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {onOutputGeometry, onOutputMode, onOutputDone,
                                            onOutputScale,    onOutputName, onOutputDescription};

WaylandOutput& outputOf(void* data) {
    return *static_cast<WaylandOutput*>(data);
}

void onLogicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y) {
    outputOf(data).logical.left = x;
    outputOf(data).logical.top = y;
}

void onLogicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height) {
    outputOf(data).logical.width = width;
    outputOf(data).logical.height = height;
}

void onXdgOutputDone(void* data, zxdg_output_v1*) {
    outputOf(data).described = true;
    outputOf(data).changed = true;
}

void onXdgOutputName(void* data, zxdg_output_v1*, const char* name) {
    outputOf(data).name = name;
}

void onXdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener kXdgOutputListener = {onLogicalPosition, onLogicalSize, onXdgOutputDone, onXdgOutputName,
                                                    onXdgOutputDescription};

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered,
        std::uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

std::string missingProtocol(const WaylandConnection& connection, WaylandConnection::Use use) {
    if (use == WaylandConnection::Use::OutputsOnly)
        return connection.outputs().empty() ? "The compositor offers no output." : "";
    if (connection.pointerManager() == nullptr)
        return "The compositor offers no virtual pointer (zwlr_virtual_pointer_manager_v1), so it is not built on "
               "wlroots.";
    if (connection.screencopyManager() == nullptr)
        return "The compositor offers no screen copy (zwlr_screencopy_manager_v1), so it is not built on wlroots.";
    if (connection.shm() == nullptr || connection.outputs().empty())
        return "The compositor offers no shared memory or no output.";
    return {};
}
} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(std::string& failure, Use use) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || *name == '\0') {
        failure = "No Wayland session: WAYLAND_DISPLAY is empty.";
        return nullptr;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        failure = std::string("The Wayland compositor at ") + name + " does not answer.";
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    connection->m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(connection->m_registry, &kRegistryListener, connection.get());
    // The globals, then the outputs' descriptions asked for when they were bound.
    connection->roundTrip();
    connection->roundTrip();
    failure = missingProtocol(*connection, use);
    if (!failure.empty())
        return nullptr;
    return connection;
}

WaylandConnection::~WaylandConnection() {
    for (const auto& output : m_outputs) {
        if (output->xdgOutput)
            zxdg_output_v1_destroy(output->xdgOutput);
        wl_output_destroy(output->output);
    }
    if (m_screencopyManager)
        zwlr_screencopy_manager_v1_destroy(m_screencopyManager);
    if (m_pointerManager)
        zwlr_virtual_pointer_manager_v1_destroy(m_pointerManager);
    if (m_outputManager)
        zxdg_output_manager_v1_destroy(m_outputManager);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

int WaylandConnection::fileDescriptor() const {
    return wl_display_get_fd(m_display);
}

void WaylandConnection::addGlobal(wl_registry* registry, std::uint32_t name, const char* interface,
                                  std::uint32_t version) {
    const std::string_view which(interface);
    if (which == wl_output_interface.name) {
        auto output = std::make_unique<WaylandOutput>();
        output->globalName = name;
        output->output = bind<wl_output>(registry, name, wl_output_interface, version, kOutputVersion);
        wl_output_add_listener(output->output, &kOutputListener, output.get());
        m_outputs.push_back(std::move(output));
        describe(*m_outputs.back());
    } else if (which == wl_seat_interface.name && m_seat == nullptr) {
        m_seat = bind<wl_seat>(registry, name, wl_seat_interface, version, kSeatVersion);
    } else if (which == wl_shm_interface.name) {
        m_shm = bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
    } else if (which == zxdg_output_manager_v1_interface.name) {
        m_outputManager =
            bind<zxdg_output_manager_v1>(registry, name, zxdg_output_manager_v1_interface, version, kXdgOutputVersion);
        for (const auto& output : m_outputs)
            describe(*output);
    } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
        m_pointerManager = bind<zwlr_virtual_pointer_manager_v1>(registry, name,
                                                                 zwlr_virtual_pointer_manager_v1_interface, version, 1);
    } else if (which == zwlr_screencopy_manager_v1_interface.name) {
        m_screencopyVersion = std::min(version, kScreencopyVersion);
        m_screencopyManager = bind<zwlr_screencopy_manager_v1>(registry, name, zwlr_screencopy_manager_v1_interface,
                                                               version, kScreencopyVersion);
    }
}

void WaylandConnection::describe(WaylandOutput& output) {
    if (m_outputManager == nullptr || output.xdgOutput != nullptr)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_outputManager, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &kXdgOutputListener, &output);
}

void WaylandConnection::removeGlobal(std::uint32_t name) {
    const auto gone = std::ranges::find(m_outputs, name, [](const auto& output) { return output->globalName; });
    if (gone == m_outputs.end())
        return;
    if ((*gone)->xdgOutput)
        zxdg_output_v1_destroy((*gone)->xdgOutput);
    wl_output_destroy((*gone)->output);
    m_outputs.erase(gone);
    m_layoutChanged = true;
}

bool WaylandConnection::takeLayoutChange() {
    bool changed = std::exchange(m_layoutChanged, false);
    for (const auto& output : m_outputs)
        changed = std::exchange(output->changed, false) || changed;
    return changed;
}

void WaylandConnection::throwIfLost() const {
    if (const int error = wl_display_get_error(m_display); error != 0)
        throw std::runtime_error(std::string("The connection to the Wayland compositor was lost: ") +
                                 std::strerror(error) + ".");
}

void WaylandConnection::dispatchArrived() {
    dispatchWaiting(0);
}

void WaylandConnection::roundTrip() {
    wl_display_roundtrip(m_display);
    throwIfLost();
}

bool WaylandConnection::dispatchWaiting(int milliseconds) {
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    pollfd watched{fileDescriptor(), POLLIN, 0};
    const bool arrived = ::poll(&watched, 1, milliseconds) > 0;
    if (arrived)
        wl_display_read_events(m_display);
    else
        wl_display_cancel_read(m_display);
    wl_display_dispatch_pending(m_display);
    throwIfLost();
    return arrived;
}
