#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_output;
struct wl_seat;
struct wl_shm;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_screencopy_manager_v1;

// One output as the compositor describes it: its name and its logical area in the compositor's layout (xdg-output).
struct WaylandOutput {
    std::uint32_t globalName = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    std::string name;
    TRect logical;
    // Its logical description has been told in full at least once; changed: again since the layout was last taken.
    bool described = false;
    bool changed = false;
};

// The connection to a wlroots compositor with the globals the backend uses: the seat, shared memory, the outputs and
// their logical layout, the virtual pointer and the screen copy. Events are dispatched on the thread that owns it.
class WaylandConnection {
public:
    // What the connection is for: clicks and captures through the wlroots protocols, or only the outputs' layout
    // (where the desktop's portals click and capture).
    enum class Use { ClicksAndCaptures, OutputsOnly };

    // The session's compositor (WAYLAND_DISPLAY); nothing when there is none or it lacks what `use` needs, with
    // `failure` saying which, in one sentence.
    static std::unique_ptr<WaylandConnection> open(std::string& failure, Use use = Use::ClicksAndCaptures);
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;
    ~WaylandConnection();

    wl_display* display() const { return m_display; }
    int fileDescriptor() const;
    wl_seat* seat() const { return m_seat; }
    wl_shm* shm() const { return m_shm; }
    zwlr_virtual_pointer_manager_v1* pointerManager() const { return m_pointerManager; }
    zwlr_screencopy_manager_v1* screencopyManager() const { return m_screencopyManager; }
    std::uint32_t screencopyVersion() const { return m_screencopyVersion; }
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return m_outputs; }

    // Dispatches what has arrived without waiting, and sends what is queued. Throws when the connection is lost.
    void dispatchArrived();
    // Waits until the compositor has handled every request sent so far, dispatching what it sent meanwhile.
    void roundTrip();
    // Waits up to `milliseconds` for events and dispatches them; false when none came.
    bool dispatchWaiting(int milliseconds);
    // Whether outputs came, went or moved since the last call.
    bool takeLayoutChange();

    // Registry callbacks.
    void addGlobal(wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version);
    void removeGlobal(std::uint32_t name);

private:
    explicit WaylandConnection(wl_display* display) : m_display(display) {}
    void describe(WaylandOutput& output);
    void throwIfLost() const;

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    wl_shm* m_shm = nullptr;
    zxdg_output_manager_v1* m_outputManager = nullptr;
    zwlr_virtual_pointer_manager_v1* m_pointerManager = nullptr;
    zwlr_screencopy_manager_v1* m_screencopyManager = nullptr;
    std::uint32_t m_screencopyVersion = 0;
    std::vector<std::unique_ptr<WaylandOutput>> m_outputs;
    bool m_layoutChanged = true;
};
