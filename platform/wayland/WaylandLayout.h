#pragma once

#include "platform/PrimaryMonitor.h"
#include "platform/wayland/WaylandConnection.h"

#include <string>
#include <vector>

// Where the outputs lie for the program. Its positions have their origin at the primary output's top-left, as on
// X11: the output the user chose (by name), else the one at the compositor layout's origin, else the first one.
class WaylandLayout {
public:
    explicit WaylandLayout(const WaylandConnection& connection) : m_connection(connection) {}

    // The output named `name` becomes the primary one; an empty name, or one no output has, leaves the choice to the
    // layout.
    void choosePrimary(std::string name) { m_chosen = std::move(name); }
    // The outputs in the compositor's layout, the primary one flagged.
    std::vector<MonitorInfo> monitors() const;
    // The primary output's top-left in the compositor's layout.
    TPoint origin() const;
    // The smallest rectangle of the compositor's layout holding every output.
    TRect extent() const;

private:
    const WaylandConnection& m_connection;
    std::string m_chosen;
};
