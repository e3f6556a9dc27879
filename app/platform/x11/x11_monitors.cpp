#include "platform/x11/x11_monitors.h"

#include "common/monitor_pixels.h"
#include "platform/x11/input/xcb_keyboard_setup.h"
#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <vector>

namespace zentrel {
namespace {

std::vector<PixelRect> randrMonitors(xcb_connection_t *connection, xcb_window_t root)
{
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(connection, &xcb_randr_id);
    if (!randr || !randr->present) {
        return {};
    }
    const XcbReply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        connection, xcb_randr_get_monitors(connection, root, 1), nullptr));
    std::vector<PixelRect> monitors;
    if (!reply) {
        return monitors;
    }
    for (auto each = xcb_randr_get_monitors_monitors_iterator(reply.get()); each.rem > 0;
         xcb_randr_monitor_info_next(&each)) {
        monitors.push_back({each.data->x, each.data->y, each.data->width, each.data->height});
    }
    return monitors;
}

std::vector<PixelRect> monitors()
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_window_t root = connection ? defaultRootWindow(connection) : XCB_NONE;
    if (root == XCB_NONE) {
        return {};
    }
    std::vector<PixelRect> found = randrMonitors(connection, root);
    if (!found.empty()) {
        return found;
    }
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), nullptr));
    if (geometry) {
        found.push_back({0, 0, geometry->width, geometry->height});
    }
    return found;
}

std::optional<QRect> x11MonitorPixels(const QScreen &screen)
{
    const QRect geometry = screen.geometry();
    const auto monitor =
        monitorOfScreen({geometry.x(), geometry.y(), geometry.width(), geometry.height()},
                        screen.devicePixelRatio(),
                        monitors());
    if (!monitor) {
        return std::nullopt;
    }
    return QRect(monitor->x, monitor->y, monitor->width, monitor->height);
}

} // namespace

std::optional<std::pair<QScreen *, QRect>> x11ScreenWithPixels(const QRect &screenGeometry)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry() == screenGeometry) {
            const auto pixels = x11MonitorPixels(*screen);
            return pixels ? std::optional(std::pair(screen, *pixels)) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
