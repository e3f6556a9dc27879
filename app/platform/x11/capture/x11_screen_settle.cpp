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

// Whether the queued events held a report of `damage`; every queued event is used up.
bool takeDamageReports(xcb_connection_t *c, std::uint8_t notifyType, xcb_damage_damage_t damage)
{
    bool damaged = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
        if ((event->response_type & ~0x80) == notifyType
            && reinterpret_cast<xcb_damage_notify_event_t *>(event)->damage == damage) {
            damaged = true;
        }
        std::free(event);
    }
    if (damaged) {
        // Emptied, the damage reports again at the next change.
        xcb_damage_subtract(c, damage, XCB_NONE, XCB_NONE);
        xcb_flush(c);
    }
    return damaged;
}

} // namespace

void x11WaitUntilScreenSettles(xcb_connection_t *c, std::uint32_t root)
{
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(c, &xcb_damage_id);
    if (!extension || !extension->present) {
        return;
    }
    const XcbReply<xcb_damage_query_version_reply_t> version(
        xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    if (!version) {
        return;
    }
    const auto notifyType = std::uint8_t(extension->first_event + XCB_DAMAGE_NOTIFY);
    const xcb_damage_damage_t damage = xcb_generate_id(c);
    xcb_damage_create(c, damage, root, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    // The first report only says the damage was made; it is queued by the time the reply comes.
    const XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    takeDamageReports(c, notifyType, damage);
    const Clock::time_point start = Clock::now();
    std::optional<Clock::time_point> lastChange;
    pollfd socket{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (takeDamageReports(c, notifyType, damage)) {
            lastChange = now;
        }
        const Clock::time_point limit = start + waitLimit;
        const Clock::time_point until =
            lastChange ? std::min(*lastChange + quietTime, limit) : limit;
        if (now >= until || xcb_connection_has_error(c)) {
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        poll(&socket, 1, int(left.count()));
    }
    xcb_damage_destroy(c, damage);
    xcb_flush(c);
}

} // namespace zentrel
