#pragma once

#include "platform/Screen.h"

class WaylandConnection;
class WaylandLayout;

// What a Wayland screen tells of its monitors, from the compositor's outputs (xdg-output) and the program's choice of
// the primary one; how its pixels are had is the subclass's.
class WaylandLayoutScreen : public IScreen {
public:
    WaylandLayoutScreen(WaylandConnection& connection, WaylandLayout& layout)
        : m_connection(connection), m_layout(layout) {}

    TSize screenSize() override;
    std::vector<TRect> monitorAreas() override;
    // The described outputs in the compositor's order.
    std::vector<std::string> outputNames() override;
    // The picture is then taken anew, as after a layout change: every program position has moved.
    void choosePrimary(const std::string& name) override;

protected:
    // Whether the outputs or the primary choice changed since the last call.
    bool takeLayoutChange();

    WaylandConnection& m_connection;
    WaylandLayout& m_layout;

private:
    bool m_primaryChanged = false;
};
