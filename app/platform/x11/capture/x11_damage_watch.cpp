#include "platform/x11/capture/x11_damage_watch.h"

#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace zentrel {

std::optional<std::uint8_t> x11DamageNotifyType(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(connection, &xcb_damage_id);
    if (!extension || !extension->present) {
        return std::nullopt;
    }
    const XcbReply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    if (!version) {
        return std::nullopt;
    }
    return std::uint8_t(extension->first_event + XCB_DAMAGE_NOTIFY);
}

X11DamageWatch::X11DamageWatch(xcb_connection_t *connection, std::uint32_t root)
    : m_connection(connection)
    , m_root(root)
{
    const std::optional<std::uint8_t> notifyType = x11DamageNotifyType(connection);
    if (!notifyType) {
        return;
    }
    m_notifyType = *notifyType;
    // Windows mapped, unmapped, moved, restacked or gone change what the screen shows without
    // damaging any window that stays.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    m_available = true;
}

X11DamageWatch::~X11DamageWatch()
{
    watch(std::vector<Window>{});
    if (m_available) {
        const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &none);
    }
}

void X11DamageWatch::watch(const std::vector<Window> &windows)
{
    if (!m_available) {
        return;
    }
    const auto isWatched = [&](std::uint32_t window) {
        return std::any_of(
            windows.begin(), windows.end(), [&](const Window &w) { return w.id == window; });
    };
    std::erase_if(m_damageByWindow, [&](const auto &entry) {
        if (isWatched(entry.first)) {
            return false;
        }
        // Fails harmlessly when the window, and with it its damage, is gone already.
        xcb_damage_destroy(m_connection, entry.second);
        m_frames.erase(entry.first);
        return true;
    });
    for (const Window &window : windows) {
        if (!m_damageByWindow.contains(window.id)) {
            const xcb_damage_damage_t damage = xcb_generate_id(m_connection);
            xcb_damage_create(
                m_connection, damage, window.id, XCB_DAMAGE_REPORT_LEVEL_BOUNDING_BOX);
            m_damageByWindow.emplace(window.id, damage);
            // Only a watch that tracks windows tells the first report apart; kept otherwise, the
            // set would grow with every window a long stream sees.
            if (m_tracksWindows) {
                m_fresh.insert(damage);
            }
        }
        m_frames.try_emplace(window.id, window.frame);
    }
    if (!m_fresh.empty()) {
        // Their first reports are queued by the time the reply comes.
        x11RoundTrip(m_connection);
        takeQueuedEvents();
        m_fresh.clear();
    }
}

void X11DamageWatch::trackWindows(const std::unordered_set<std::uint32_t> &changedBefore)
{
    m_tracksWindows = true;
    m_changed.insert(changedBefore.begin(), changedBefore.end());
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
    if (type == m_notifyType) {
        const auto *notify = static_cast<const xcb_damage_notify_event_t *>(event);
        // A top-level window's geometry is in root coordinates, its area in its own.
        m_damaged.emplace_back(notify->geometry.x + notify->area.x,
                               notify->geometry.y + notify->area.y,
                               notify->area.width,
                               notify->area.height);
        if (!m_fresh.contains(notify->damage)) {
            m_changed.insert(notify->drawable);
        }
        // A bounding-box report comes only when the box grows; emptied, it reports again.
        xcb_damage_subtract(m_connection, notify->damage, XCB_NONE, XCB_NONE);
        return;
    }
    switch (type) {
    case XCB_MAP_NOTIFY:
        m_changed.insert(static_cast<const xcb_map_notify_event_t *>(event)->window);
        m_restructured = true;
        break;
    case XCB_CONFIGURE_NOTIFY: {
        const auto *notify = static_cast<const xcb_configure_notify_event_t *>(event);
        const int border = notify->border_width * 2;
        takeConfigure(notify->window,
                      QRect(notify->x, notify->y, notify->width + border, notify->height + border));
        m_restructured = true;
        break;
    }
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
        m_restructured = true;
        break;
    default:
        break;
    }
}

// A window only restacked shows what it showed; a window manager restacks the windows it keeps
// below all others (mutter's black guard window) along with the rest.
void X11DamageWatch::takeConfigure(std::uint32_t window, const QRect &frame)
{
    const auto known = m_frames.find(window);
    if (known != m_frames.end() && known->second != frame) {
        known->second = frame;
        m_changed.insert(window);
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
