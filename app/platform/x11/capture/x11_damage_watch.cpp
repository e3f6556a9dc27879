#include "platform/x11/capture/x11_damage_watch.h"

#include "platform/x11/xcb_reply.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace zentrel {

X11DamageWatch::X11DamageWatch(xcb_connection_t *connection, std::uint32_t root)
    : m_connection(connection)
    , m_root(root)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(m_connection, &xcb_damage_id);
    if (!extension || !extension->present) {
        return;
    }
    // The server refuses every other Damage request until the version is agreed.
    const XcbReply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
    if (!version) {
        return;
    }
    m_firstDamageEvent = extension->first_event;
    // Windows mapped, unmapped, moved, restacked or gone change what the screen shows without
    // damaging any window that stays.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    m_available = true;
}

X11DamageWatch::~X11DamageWatch()
{
    watch({});
    if (m_available) {
        const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &none);
    }
}

void X11DamageWatch::watch(const std::vector<std::uint32_t> &windows)
{
    if (!m_available) {
        return;
    }
    std::erase_if(m_damageByWindow, [&](const auto &entry) {
        if (std::find(windows.begin(), windows.end(), entry.first) != windows.end()) {
            return false;
        }
        // Fails harmlessly when the window, and with it its damage, is gone already.
        xcb_damage_destroy(m_connection, entry.second);
        return true;
    });
    for (const std::uint32_t window : windows) {
        if (!m_damageByWindow.contains(window)) {
            const xcb_damage_damage_t damage = xcb_generate_id(m_connection);
            xcb_damage_create(m_connection, damage, window, XCB_DAMAGE_REPORT_LEVEL_BOUNDING_BOX);
            m_damageByWindow.emplace(window, damage);
        }
    }
}

void X11DamageWatch::takeQueuedEvents()
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        if (m_available) {
            take(event->response_type & ~0x80, event);
        }
        std::free(event);
    }
}

void X11DamageWatch::take(std::uint8_t type, const void *event)
{
    if (type == m_firstDamageEvent + XCB_DAMAGE_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_damage_notify_event_t *>(event);
        // A top-level window's geometry is in root coordinates, its area in its own.
        m_damaged.emplace_back(notify->geometry.x + notify->area.x,
                               notify->geometry.y + notify->area.y,
                               notify->area.width,
                               notify->area.height);
        // A bounding-box report comes only when the box grows; emptied, it reports again.
        xcb_damage_subtract(m_connection, notify->damage, XCB_NONE, XCB_NONE);
        return;
    }
    switch (type) {
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CONFIGURE_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
        m_restructured = true;
        break;
    default:
        break;
    }
}

bool X11DamageWatch::takeChangesWithin(const QRect &area)
{
    const bool changed =
        !m_available || m_restructured
        || std::any_of(m_damaged.begin(), m_damaged.end(), [&](const QRect &damaged) {
               return damaged.intersects(area);
           });
    m_damaged.clear();
    m_restructured = false;
    return changed;
}

} // namespace zentrel
