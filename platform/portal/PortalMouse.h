#pragma once

#include "platform/Mouse.h"

class PortalSession;
class WaylandLayout;

// Pointer and buttons through the portal session's pointer notifications: an absolute move names the stream of the
// monitor the point lies on. As everywhere on Wayland, the pointer cannot be read: the position told is where the
// program last put it.
class PortalMouse : public IMouse {
public:
    PortalMouse(PortalSession& session, const WaylandLayout& layout) : m_session(session), m_layout(layout) {}

    // Starts the session, asking the user again after a refusal.
    void prepare() override;
    bool asksLeave() const override { return true; }
    TPoint cursorPos() override;
    bool readsPointer() const override { return false; }
    // A point off every monitor goes to the nearest point of the nearest one.
    void setCursorPos(int x, int y) override;
    void sendButtonEvent(std::uint32_t flag) override;

private:
    PortalSession& m_session;
    const WaylandLayout& m_layout;
    // In the compositor's layout, so that it stays right when the primary output changes.
    TPoint m_lastPut;
};
