#include "platform/x11/capture/x11_screen_settle.h"

#include "platform/x11/capture/x11_damage_watch.h"
#include "platform/x11/capture/x11_image_reader.h"
#include "platform/x11/x11_window_tree.h"

#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <thread>

namespace zentrel {
namespace {

using Clock = std::chrono::steady_clock;

// Three frames at 60 Hz without a change, or two of the compositing manager's own frame times
// where it draws slower: it has nothing left to draw.
constexpr auto quietTime = std::chrono::milliseconds(50);
// A screen that keeps changing (a video playing) is read after this at most, once the
// compositing manager has drawn what came before: with its two frames for our pixel, a run starts
// at most 150 ms later at 60 Hz.
constexpr auto waitLimit = std::chrono::milliseconds(110);
// A compositing manager that never shows our pixel (one that leaves small windows out) is given
// up on after this.
constexpr auto blinkLimit = std::chrono::milliseconds(1000);
constexpr auto cornerPoll = std::chrono::milliseconds(4);

} // namespace

X11ScreenSettle::X11ScreenSettle(xcb_connection_t *connection,
                                 X11ImageReader &reader,
                                 std::uint32_t root,
                                 QPoint corner)
    : m_connection(connection)
    , m_reader(reader)
    , m_root(root)
    , m_corner(corner)
{
    const std::optional<std::uint8_t> notifyType = x11DamageNotifyType(connection);
    if (!notifyType) {
        return;
    }
    m_notifyType = *notifyType;
    m_damage = xcb_generate_id(connection);
    xcb_damage_create(connection, m_damage, root, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
    // The first report only says the damage was made; it is queued by the time the reply comes.
    x11RoundTrip(connection);
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
    const auto frameTime = blinkCorner();
    const auto quiet = std::max<Clock::duration>(quietTime, 2 * frameTime);
    takeReports();
    const Clock::time_point start = Clock::now();
    Clock::time_point lastChange = start;
    pollfd socket{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (takeReports()) {
            lastChange = now;
        }
        const Clock::time_point until = std::min(lastChange + quiet, start + waitLimit);
        if (now >= until || xcb_connection_has_error(m_connection)) {
            return;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        poll(&socket, 1, int(left.count()));
    }
}

std::chrono::milliseconds X11ScreenSettle::blinkCorner()
{
    xcb_connection_t *c = m_connection;
    const std::optional<std::uint32_t> shown = cornerPixel();
    if (!shown) {
        return {};
    }
    const std::uint32_t blink = *shown ^ 0x808080u;
    const xcb_window_t window = xcb_generate_id(c);
    const std::array<std::uint32_t, 2> values{blink, 1};
    xcb_create_window(c,
                      XCB_COPY_FROM_PARENT,
                      window,
                      m_root,
                      int16_t(m_corner.x()),
                      int16_t(m_corner.y()),
                      1,
                      1,
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                      values.data());
    xcb_map_window(c, window);
    xcb_flush(c);
    const Clock::time_point start = Clock::now();
    waitForCorner([&](std::uint32_t pixel) { return pixel == blink; });
    const auto frameTime =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    xcb_destroy_window(c, window);
    xcb_flush(c);
    waitForCorner([&](std::uint32_t pixel) { return pixel != blink; });
    return frameTime;
}

void X11ScreenSettle::waitForCorner(const std::function<bool(std::uint32_t)> &shows)
{
    const Clock::time_point limit = Clock::now() + blinkLimit;
    for (;;) {
        const std::optional<std::uint32_t> pixel = cornerPixel();
        if (!pixel || shows(*pixel) || Clock::now() >= limit) {
            return;
        }
        std::this_thread::sleep_for(cornerPoll);
    }
}

std::optional<std::uint32_t> X11ScreenSettle::cornerPixel()
{
    const auto pixel = m_reader.read(m_root, QRect(m_corner, QSize(1, 1)));
    if (!pixel) {
        return std::nullopt;
    }
    return pixel->pixel(0, 0) & 0xffffffu;
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
