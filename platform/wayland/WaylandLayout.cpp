#include "platform/wayland/WaylandLayout.h"

#include <algorithm>

std::vector<MonitorInfo> WaylandLayout::monitors() const {
    const auto& outputs = m_connection.outputs();
    const bool chosenPresent =
        std::ranges::any_of(outputs, [this](const auto& output) { return output->name == m_chosen; });
    std::vector<MonitorInfo> monitors;
    for (const auto& output : outputs) {
        const bool atOrigin = output->logical.left == 0 && output->logical.top == 0;
        monitors.push_back({chosenPresent ? output->name == m_chosen : atOrigin, output->logical});
    }
    return monitors;
}

TPoint WaylandLayout::origin() const {
    const TRect primary = primaryMonitorArea(monitors(), {});
    return {primary.left, primary.top};
}

TRect WaylandLayout::extent() const {
    const auto& outputs = m_connection.outputs();
    if (outputs.empty())
        return {};
    int left = outputs.front()->logical.left, top = outputs.front()->logical.top;
    int right = left, bottom = top;
    for (const auto& output : outputs) {
        const TRect& area = output->logical;
        left = std::min(left, area.left);
        top = std::min(top, area.top);
        right = std::max(right, area.left + area.width);
        bottom = std::max(bottom, area.top + area.height);
    }
    return {left, top, right - left, bottom - top};
}
