#include "platform/x11/x11_window_states.h"

#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xinerama.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

namespace {

xcb_window_t rootOf(xcb_connection_t *connection, std::uint32_t window)
{
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return geometry ? geometry->root : XCB_NONE;
}

std::optional<xcb_window_t> keyboardFocus(xcb_connection_t *connection)
{
    const XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (!focus) {
        return std::nullopt;
    }
    return focus->focus;
}

bool isViewable(xcb_connection_t *connection, xcb_window_t window)
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// A client message about `window`, sent to the root where the window manager listens.
void askWindowManager(xcb_connection_t *connection,
                      xcb_window_t root,
                      xcb_window_t window,
                      xcb_atom_t type,
                      const std::array<std::uint32_t, 5> &data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection,
                   0,
                   root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

// The number the server gives the monitor at `monitor`, which window managers go by.
std::optional<std::uint32_t> xineramaIndexOf(xcb_connection_t *connection, const QRect &monitor)
{
    if (!xcb_get_extension_data(connection, &xcb_xinerama_id)->present) {
        return std::nullopt;
    }
    const XcbReply<xcb_xinerama_query_screens_reply_t> screens(xcb_xinerama_query_screens_reply(
        connection, xcb_xinerama_query_screens(connection), nullptr));
    if (!screens) {
        return std::nullopt;
    }
    const xcb_xinerama_screen_info_t *info = xcb_xinerama_query_screens_screen_info(screens.get());
    const int count = xcb_xinerama_query_screens_screen_info_length(screens.get());
    for (int i = 0; i < count; ++i) {
        if (QRect(info[i].x_org, info[i].y_org, info[i].width, info[i].height) == monitor) {
            return std::uint32_t(i);
        }
    }
    return std::nullopt;
}

// Qt turns a size in points into pixels rounded, which may reach a pixel past the monitor (1707
// points at 150 % are 2561 pixels on a 2560-pixel monitor) where no window manager sizes a
// full-screen window to its monitor.
void placeOn(xcb_connection_t *connection, xcb_window_t window, const QRect &monitor)
{
    const std::array<std::uint32_t, 4> frame{std::uint32_t(monitor.x()),
                                             std::uint32_t(monitor.y()),
                                             std::uint32_t(monitor.width()),
                                             std::uint32_t(monitor.height())};
    xcb_configure_window(connection,
                         window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT,
                         frame.data());
}

} // namespace

void x11KeepFullScreenOn(std::uint32_t window, const QRect &monitor)
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_window_t root = connection ? rootOf(connection, window) : XCB_NONE;
    if (root == XCB_NONE) {
        return;
    }
    placeOn(connection, window, monitor);
    const auto index = xineramaIndexOf(connection, monitor);
    if (!index) {
        xcb_flush(connection);
        return;
    }
    const xcb_atom_t monitors = x11Atom(connection, "_NET_WM_FULLSCREEN_MONITORS");
    // Top, bottom, left and right edge: all one monitor's.
    const std::array<std::uint32_t, 4> edges{*index, *index, *index, *index};
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        monitors,
                        XCB_ATOM_CARDINAL,
                        32,
                        std::uint32_t(edges.size()),
                        edges.data());
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED) {
        constexpr std::uint32_t fromApplication = 1;
        askWindowManager(connection,
                         root,
                         window,
                         monitors,
                         {edges[0], edges[1], edges[2], edges[3], fromApplication});
    }
    xcb_flush(connection);
}

void x11ActivateOwnWindow(std::uint32_t window)
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_window_t root = connection ? rootOf(connection, window) : XCB_NONE;
    if (root == XCB_NONE) {
        return;
    }
    if (x11WindowManagerCheckWindow(connection, root) == XCB_NONE) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        xcb_flush(connection);
        return;
    }
    constexpr std::uint32_t fromPager = 2;
    askWindowManager(connection,
                     root,
                     window,
                     x11Atom(connection, "_NET_ACTIVE_WINDOW"),
                     {fromPager, XCB_CURRENT_TIME, 0, 0, 0});
    xcb_flush(connection);
}

std::optional<std::uint32_t> x11KeyboardHolderWithoutWindowManager()
{
    xcb_connection_t *connection = qtX11Connection();
    const auto focus = connection ? keyboardFocus(connection) : std::nullopt;
    if (!focus || *focus == XCB_NONE || *focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
        return std::nullopt;
    }
    const xcb_window_t root = rootOf(connection, *focus);
    if (root == XCB_NONE || root == *focus
        || x11WindowManagerCheckWindow(connection, root) != XCB_NONE) {
        return std::nullopt;
    }
    return *focus;
}

void x11GiveKeyboardBack(std::uint32_t window)
{
    xcb_connection_t *connection = qtX11Connection();
    const auto focus = connection ? keyboardFocus(connection) : std::nullopt;
    const xcb_window_t root = focus ? rootOf(connection, window) : XCB_NONE;
    if (root == XCB_NONE
        || (*focus != XCB_NONE && *focus != XCB_INPUT_FOCUS_POINTER_ROOT && *focus != root)) {
        return;
    }
    // Focus on a window that is not viewable is an error.
    if (isViewable(connection, window)) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}

std::optional<std::uint32_t> x11ActiveWindowOnScreenOf(std::uint32_t window)
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_window_t root = connection ? rootOf(connection, window) : XCB_NONE;
    if (root == XCB_NONE || x11WindowManagerCheckWindow(connection, root) == XCB_NONE) {
        return std::nullopt;
    }
    const XcbReply<xcb_get_property_reply_t> active(xcb_get_property_reply(
        connection,
        xcb_get_property(
            connection, 0, root, x11Atom(connection, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!active || active->type != XCB_ATOM_WINDOW
        || xcb_get_property_value_length(active.get()) != 4) {
        return std::nullopt;
    }
    const xcb_window_t holder =
        *static_cast<const xcb_window_t *>(xcb_get_property_value(active.get()));
    if (holder == XCB_NONE) {
        return std::nullopt;
    }
    return holder;
}

// ICCCM's way for a client to restack beside a window that is not its sibling: a synthetic
// ConfigureRequest to the root. xfwm4 has no _NET_RESTACK_WINDOW.
void x11StackBelow(std::uint32_t window, std::uint32_t sibling)
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_window_t root = connection ? rootOf(connection, window) : XCB_NONE;
    if (root == XCB_NONE || sibling == window || !isViewable(connection, sibling)) {
        return;
    }
    xcb_configure_request_event_t request{};
    request.response_type = XCB_CONFIGURE_REQUEST;
    request.stack_mode = XCB_STACK_MODE_BELOW;
    request.parent = root;
    request.window = window;
    request.sibling = sibling;
    request.value_mask = XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE;
    xcb_send_event(connection,
                   0,
                   root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(connection);
}

void x11KeepOutOfTaskLists(std::uint32_t window)
{
    xcb_connection_t *connection = qtX11Connection();
    if (!connection) {
        return;
    }
    const std::uint32_t property = x11Atom(connection, "_NET_WM_STATE");
    const XcbReply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64),
        nullptr));
    std::vector<std::uint32_t> states;
    if (current && current->type == XCB_ATOM_ATOM && current->format == 32) {
        const auto *values =
            static_cast<const std::uint32_t *>(xcb_get_property_value(current.get()));
        states.assign(values, values + xcb_get_property_value_length(current.get()) / 4);
    }
    // KWin's switcher reads its own state rather than the taskbar one.
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR",
                             "_NET_WM_STATE_SKIP_PAGER",
                             "_KDE_NET_WM_STATE_SKIP_SWITCHER"}) {
        const std::uint32_t state = x11Atom(connection, name);
        if (state != XCB_NONE && std::find(states.begin(), states.end(), state) == states.end()) {
            states.push_back(state);
        }
    }
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        property,
                        XCB_ATOM_ATOM,
                        32,
                        static_cast<std::uint32_t>(states.size()),
                        states.data());
    xcb_flush(connection);
}

void x11ShapeWindow(std::uint32_t window, const QRegion &pixels)
{
    xcb_connection_t *connection = qtX11Connection();
    if (!connection || !xcb_get_extension_data(connection, &xcb_shape_id)->present) {
        return;
    }
    if (pixels.isEmpty()) {
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, window, 0, 0, XCB_NONE);
    } else {
        std::vector<xcb_rectangle_t> rectangles;
        rectangles.reserve(std::size_t(pixels.rectCount()));
        for (const QRect &part : pixels) {
            rectangles.push_back(xcb_rectangle_t{std::int16_t(part.x()),
                                                 std::int16_t(part.y()),
                                                 std::uint16_t(part.width()),
                                                 std::uint16_t(part.height())});
        }
        xcb_shape_rectangles(connection,
                             XCB_SHAPE_SO_SET,
                             XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_UNSORTED,
                             window,
                             0,
                             0,
                             std::uint32_t(rectangles.size()),
                             rectangles.data());
    }
    xcb_flush(connection);
}

} // namespace zentrel
