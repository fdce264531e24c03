#include "platform/x11/X11Monitors.h"

#include "platform/PrimaryMonitor.h"
#include "platform/x11/XcbReply.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <xcb/randr.h>

#include <cstdlib>
#include <vector>

namespace {
bool randrListsMonitors(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor))
        return false;
    return major > 1 || (major == 1 && minor >= 5);
}

std::vector<MonitorInfo> monitorsOf(const xcb_randr_get_monitors_reply_t* reply) {
    std::vector<MonitorInfo> result;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem > 0; xcb_randr_monitor_info_next(&it))
        result.push_back({it.data->primary != 0, {it.data->x, it.data->y, it.data->width, it.data->height}});
    return result;
}
} // namespace

X11Monitors::X11Monitors(Display* display) : m_display(display), m_monitorsListed(randrListsMonitors(display)) {
    // The server sends the root window's ConfigureNotify when monitors are set or deleted and when outputs move.
    XSelectInput(m_display, DefaultRootWindow(m_display), StructureNotifyMask);
    readPrimary();
}

TRect X11Monitors::primary() {
    if (layoutChanged())
        readPrimary();
    return m_primary;
}

std::vector<TRect> X11Monitors::areas() {
    primary();
    return m_areas;
}

TPoint X11Monitors::origin() {
    const TRect area = primary();
    return {area.left, area.top};
}

// Asked several times a click, so it costs one read of the connection when nothing came. Every event is taken: no
// one else reads this connection's events, and messages sent to the root window for whoever watches it (a tray
// taking its selection announces itself so) would otherwise stay queued and make every look read the connection
// again.
bool X11Monitors::layoutChanged() {
    bool changed = false;
    XEvent event;
    while (XEventsQueued(m_display, QueuedAfterReading) > 0) {
        XNextEvent(m_display, &event);
        changed = changed || (event.type == ConfigureNotify && event.xconfigure.window == DefaultRootWindow(m_display));
    }
    return changed;
}

X11Monitors::Question X11Monitors::ask() {
    // This reading covers every change told so far.
    layoutChanged();
    xcb_connection_t* connection = XGetXCBConnection(m_display);
    const auto root = static_cast<xcb_window_t>(DefaultRootWindow(m_display));
    Question question;
    question.geometry = xcb_get_geometry(connection, root).sequence;
    if (m_monitorsListed) {
        question.monitors = xcb_randr_get_monitors(connection, root, 1).sequence;
        question.monitorsAsked = true;
    }
    return question;
}

TRect X11Monitors::answer(const Question& question) {
    xcb_connection_t* connection = XGetXCBConnection(m_display);
    XcbReply<xcb_randr_get_monitors_reply_t> monitors;
    if (question.monitorsAsked)
        monitors.reply = xcb_randr_get_monitors_reply(connection, {question.monitors}, &monitors.error);
    XcbReply<xcb_get_geometry_reply_t> geometry;
    geometry.reply = xcb_get_geometry_reply(connection, {question.geometry}, &geometry.error);
    const TSize rootSize = geometry.reply != nullptr ? TSize{geometry.reply->width, geometry.reply->height} : TSize{};
    const std::vector<MonitorInfo> listed =
        monitors.reply != nullptr ? monitorsOf(monitors.reply) : std::vector<MonitorInfo>{};
    m_primary = primaryMonitorArea(listed, rootSize);
    m_areas.clear();
    for (const MonitorInfo& monitor : listed)
        m_areas.push_back(monitor.area);
    if (m_areas.empty())
        m_areas.push_back(m_primary);
    return m_primary;
}
