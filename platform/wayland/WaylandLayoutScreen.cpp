#include "platform/wayland/WaylandLayoutScreen.h"

#include "platform/PrimaryMonitor.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandLayout.h"

#include <utility>

TSize WaylandLayoutScreen::screenSize() {
    m_connection.dispatchArrived();
    const TRect primary = primaryMonitorArea(m_layout.monitors(), {});
    return {primary.width, primary.height};
}

std::vector<TRect> WaylandLayoutScreen::monitorAreas() {
    m_connection.dispatchArrived();
    const TPoint origin = m_layout.origin();
    std::vector<TRect> areas;
    for (const MonitorInfo& monitor : m_layout.monitors())
        areas.push_back(
            {monitor.area.left - origin.x, monitor.area.top - origin.y, monitor.area.width, monitor.area.height});
    return areas;
}

std::vector<std::string> WaylandLayoutScreen::outputNames() {
    m_connection.dispatchArrived();
    std::vector<std::string> names;
    for (const auto& output : m_connection.outputs())
        if (output->described)
            names.push_back(output->name);
    return names;
}

void WaylandLayoutScreen::choosePrimary(const std::string& name) {
    m_layout.choosePrimary(name);
    m_primaryChanged = true;
}

bool WaylandLayoutScreen::takeLayoutChange() {
    const bool layoutChanged = m_connection.takeLayoutChange();
    return std::exchange(m_primaryChanged, false) || layoutChanged;
}
