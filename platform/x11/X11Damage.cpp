#include "platform/x11/X11Damage.h"

#include "platform/x11/XcbReply.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace {

bool hasExtension(xcb_connection_t* connection, xcb_extension_t* extension) {
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(connection, extension);
    return data != nullptr && data->present;
}

// Both extensions must be told the version the client speaks before any other request.
bool agreeVersions(xcb_connection_t* connection) {
    XcbReply<xcb_xfixes_query_version_reply_t> fixes;
    XcbReply<xcb_damage_query_version_reply_t> damage;
    const auto fixesCookie = xcb_xfixes_query_version(connection, 2, 0);
    const auto damageCookie = xcb_damage_query_version(connection, 1, 1);
    fixes.reply = xcb_xfixes_query_version_reply(connection, fixesCookie, &fixes.error);
    damage.reply = xcb_damage_query_version_reply(connection, damageCookie, &damage.error);
    return fixes.ok() && damage.ok() && fixes.reply->major_version >= 2;
}

} // namespace

std::unique_ptr<X11Damage> X11Damage::open(const std::string& displayName) {
    xcb_connection_t* connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), nullptr);
    std::unique_ptr<X11Damage> damage(new X11Damage(connection));
    if (xcb_connection_has_error(connection) != 0 || !hasExtension(connection, &xcb_damage_id) ||
        !hasExtension(connection, &xcb_xfixes_id) || !agreeVersions(connection) || !damage->watch())
        return nullptr;
    return damage;
}

X11Damage::X11Damage(xcb_connection_t* connection) : m_connection(connection) {}

X11Damage::~X11Damage() {
    xcb_disconnect(m_connection);
}

bool X11Damage::watch() {
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_damage = xcb_generate_id(m_connection);
    m_region = xcb_generate_id(m_connection);
    // One event when the damage goes from none to some; the areas themselves are fetched on demand.
    const auto created = xcb_damage_create_checked(m_connection, m_damage, m_root, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    const auto region = xcb_xfixes_create_region_checked(m_connection, m_region, 0, nullptr);
    xcb_generic_error_t* createError = xcb_request_check(m_connection, created);
    xcb_generic_error_t* regionError = xcb_request_check(m_connection, region);
    const bool ok = createError == nullptr && regionError == nullptr;
    std::free(createError);
    std::free(regionError);
    return ok;
}

std::optional<std::vector<TRect>> X11Damage::takeChanges() {
    // The damage so far moves into the region and starts afresh: drawing after this request is in the next answer.
    xcb_damage_subtract(m_connection, m_damage, XCB_NONE, m_region);
    const auto regionCookie = xcb_xfixes_fetch_region(m_connection, m_region);
    const auto geometryCookie = xcb_get_geometry(m_connection, m_root);
    XcbReply<xcb_xfixes_fetch_region_reply_t> region;
    XcbReply<xcb_get_geometry_reply_t> geometry;
    region.reply = xcb_xfixes_fetch_region_reply(m_connection, regionCookie, &region.error);
    geometry.reply = xcb_get_geometry_reply(m_connection, geometryCookie, &geometry.error);
    dropEvents();
    if (!region.ok() || !geometry.ok()) {
        m_rootSize.reset();
        return std::nullopt;
    }
    const TSize rootSize{geometry.reply->width, geometry.reply->height};
    const bool sizeKnown = m_rootSize == rootSize;
    m_rootSize = rootSize;
    if (!sizeKnown)
        return std::nullopt;
    std::vector<TRect> changes;
    const xcb_rectangle_t* rectangles = xcb_xfixes_fetch_region_rectangles(region.reply);
    const int count = xcb_xfixes_fetch_region_rectangles_length(region.reply);
    for (int i = 0; i < count; ++i)
        changes.push_back({rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height});
    return changes;
}

// The damage notices only say that something was drawn, which each question finds out anyway.
void X11Damage::dropEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}
