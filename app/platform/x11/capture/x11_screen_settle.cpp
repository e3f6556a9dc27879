#include "platform/x11/capture/x11_screen_settle.h"

#include "platform/x11/xcb_reply.h"

#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace zentrel {
namespace {

using Clock = std::chrono::steady_clock;

// Three frames at 60 Hz without a change once it drew one: the compositing manager has nothing
// left to draw. A busy one draws far slower than 60 Hz, so the first frame is waited for.
constexpr auto quietTime = std::chrono::milliseconds(50);
// A screen that keeps changing (a video playing) or never does is read after this at most.
constexpr auto waitLimit = std::chrono::milliseconds(150);

} // namespace

X11ScreenSettle::X11ScreenSettle(xcb_connection_t *connection, std::uint32_t root)
    : m_connection(connection)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(connection, &xcb_damage_id);
    if (!extension || !extension->present) {
        return;
    }
    const XcbReply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    if (!version) {
        return;
    }
    m_notifyType = std::uint8_t(extension->first_event + XCB_DAMAGE_NOTIFY);
    m_damage = xcb_generate_id(connection);
    xcb_damage_create(connection, m_damage, root, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    // The first report only says the damage was made; it is queued by the time the reply comes.
    const XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    takeReports();
}

X11ScreenSettle::~X11ScreenSettle()
{
    if (m_damage != XCB_NONE) {
        xcb_damage_destroy(m_connection, m_damage);
        xcb_flush(m_connection);
    }
}

void X11ScreenSettle::wait()
{
    if (m_damage == XCB_NONE) {
        return;
    }
    xcb_flush(m_connection);
    const Clock::time_point start = Clock::now();
    std::optional<Clock::time_point> lastChange;
    pollfd socket{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (takeReports()) {
            lastChange = now;
        }
        const Clock::time_point limit = start + waitLimit;
        const Clock::time_point until =
            lastChange ? std::min(*lastChange + quietTime, limit) : limit;
        if (now >= until || xcb_connection_has_error(m_connection)) {
            return;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        poll(&socket, 1, int(left.count()));
    }
}

bool X11ScreenSettle::takeReports()
{
    bool damaged = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & ~0x80) == m_notifyType
            && reinterpret_cast<xcb_damage_notify_event_t *>(event)->damage == m_damage) {
            damaged = true;
        }
        std::free(event);
    }
    if (damaged) {
        // Emptied, the damage reports again at the next change.
        xcb_damage_subtract(m_connection, m_damage, XCB_NONE, XCB_NONE);
        xcb_flush(m_connection);
    }
    return damaged;
}

} // namespace zentrel
