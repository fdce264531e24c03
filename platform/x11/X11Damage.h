#pragma once

#include "platform/Geometry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct xcb_connection_t;

// Which parts of the root window were drawn on, from the server's DAMAGE reports, over a connection of its own (so
// that its events never mix with those of the connection that draws and copies). Asking is one round trip: every
// drawing the server did before the answer is in it.
class X11Damage {
public:
    // Nothing when the display cannot be opened or lacks the DAMAGE or XFIXES extension.
    static std::unique_ptr<X11Damage> open(const std::string& displayName);
    X11Damage(const X11Damage&) = delete;
    X11Damage& operator=(const X11Damage&) = delete;
    ~X11Damage();

    // The areas drawn on since the previous call, in root coordinates; nothing on the first call, when the root
    // window's size changed since the previous one, or when the connection failed.
    std::optional<std::vector<TRect>> takeChanges();

private:
    explicit X11Damage(xcb_connection_t* connection);
    bool watch();
    void dropEvents();

    xcb_connection_t* m_connection;
    std::uint32_t m_root = 0;
    std::uint32_t m_damage = 0;
    std::uint32_t m_region = 0;
    std::optional<TSize> m_rootSize;
};
