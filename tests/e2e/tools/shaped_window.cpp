// A round window of one colour, shaped with the X Shape extension as xeyes and oclock are: the
// screen shows what lies below it outside its disc. The window manager frames and places it as
// any program's window; it takes no keyboard. As xeyes does while the pointer moves, it draws
// itself again every 100 ms, in the same colour. It prints "ready" once the server has mapped it.

#include "e2e/tools/tool_output.h"
#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace zentrel {

namespace {

constexpr std::chrono::milliseconds redrawPeriod(100);

// One rectangle for each row of a disc of `diameter` pixels, top to bottom.
std::vector<xcb_rectangle_t> discRows(int diameter)
{
    std::vector<xcb_rectangle_t> rows;
    const double radius = diameter / 2.0;
    for (int y = 0; y < diameter; ++y) {
        const double dy = y + 0.5 - radius;
        const double half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        const int left = int(std::lround(radius - half));
        const int right = int(std::lround(radius + half));
        if (right > left) {
            rows.push_back({std::int16_t(left), std::int16_t(y), std::uint16_t(right - left), 1});
        }
    }
    return rows;
}

void setProperty(xcb_connection_t *connection,
                 xcb_window_t window,
                 const char *name,
                 const char *type,
                 std::uint8_t format,
                 std::uint32_t length,
                 const void *data)
{
    const auto atom = [connection](const std::string &text) {
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, std::uint16_t(text.size()), text.c_str()),
            nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_NONE);
    };
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, window, atom(name), atom(type), format, length, data);
}

} // namespace

} // namespace zentrel

int main(int argc, char **argv)
{
    using namespace zentrel;
    char *end = nullptr;
    const int diameter = argc == 4 ? int(std::strtol(argv[2], &end, 10)) : 0;
    const std::string colour = argc == 4 ? argv[3] : "";
    if (diameter <= 0 || *end != '\0' || colour.size() != 7 || colour.front() != '#') {
        std::fputs("usage: shaped_window <title> <diameter> <#rrggbb>\n", stderr);
        return 2;
    }
    const std::uint32_t pixel = std::uint32_t(std::strtoul(colour.c_str() + 1, nullptr, 16));
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)
        || !xcb_get_extension_data(connection, &xcb_shape_id)->present) {
        std::fputs("error: no X server with the Shape extension\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = screenOf(connection, screenNumber);
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection,
                      screen->root_depth,
                      window,
                      screen->root,
                      0,
                      0,
                      std::uint16_t(diameter),
                      std::uint16_t(diameter),
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL,
                      &pixel);
    const std::string title = argv[1];
    setProperty(connection,
                window,
                "_NET_WM_NAME",
                "UTF8_STRING",
                8,
                std::uint32_t(title.size()),
                title.c_str());
    // flags (InputHint), input: no keyboard for this window.
    const std::array<std::uint32_t, 9> hints{1, 0, 0, 0, 0, 0, 0, 0, 0};
    setProperty(connection, window, "WM_HINTS", "WM_HINTS", 32, 9, hints.data());
    const std::vector<xcb_rectangle_t> disc = discRows(diameter);
    xcb_shape_rectangles(connection,
                         XCB_SHAPE_SO_SET,
                         XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_YX_BANDED,
                         window,
                         0,
                         0,
                         std::uint32_t(disc.size()),
                         disc.data());
    xcb_map_window(connection, window);
    const XcbReply<xcb_get_input_focus_reply_t> synced(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    if (!synced) {
        std::fputs("error: the X server went away\n", stderr);
        return 1;
    }
    say("ready");
    while (!xcb_connection_has_error(connection)) {
        xcb_clear_area(connection, 0, window, 0, 0, 0, 0);
        xcb_flush(connection);
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            std::free(event);
        }
        std::this_thread::sleep_for(redrawPeriod);
    }
    xcb_disconnect(connection);
    return 0;
}
