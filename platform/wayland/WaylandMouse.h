#pragma once

#include "platform/Mouse.h"

#include <optional>

class WaylandConnection;
class WaylandLayout;
struct zwlr_virtual_pointer_v1;

// Pointer and buttons through one virtual pointer for the program's life (zwlr_virtual_pointer_v1): absolute moves
// over the whole output layout, each button event in a frame of its own, flushed at once so that events arrive in call
// order. No program may read the pointer on Wayland: the position told is where the program last put it.
class WaylandMouse : public IMouse {
public:
    WaylandMouse(WaylandConnection& connection, const WaylandLayout& layout);
    WaylandMouse(const WaylandMouse&) = delete;
    WaylandMouse& operator=(const WaylandMouse&) = delete;
    ~WaylandMouse() override;

    TPoint cursorPos() override;
    bool readsPointer() const override { return false; }
    void setCursorPos(int x, int y) override;
    void sendButtonEvent(std::uint32_t flag) override;

private:
    WaylandConnection& m_connection;
    const WaylandLayout& m_layout;
    zwlr_virtual_pointer_v1* m_pointer;
    // In the compositor's layout, so that it stays right when the primary output changes.
    TPoint m_lastPut;
};

// The Linux input button code and direction of a button event flag.
struct WaylandButtonAction {
    unsigned button = 0;
    bool press = false;
};

// Left is BTN_LEFT, right BTN_RIGHT, middle BTN_MIDDLE; nothing for a flag that is not one of the six button flags.
std::optional<WaylandButtonAction> waylandButtonActionFor(std::uint32_t flag);
