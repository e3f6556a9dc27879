// A window that keeps changing colour, for tests of pictures that must follow the screen live:
// it fills the given rectangle above every window there so far and gives it the next of the
// given colours every 100 ms, in turn. It prints "ready" once the first colour is on screen and
// "colour #rrggbb at <ms>" for each colour as the server has painted it, the time in
// milliseconds of the monotonic clock, which std::chrono::steady_clock reads too.

#include "e2e/tools/tool_output.h"
#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zentrel {

namespace {

constexpr std::chrono::milliseconds period(100);

// "#rrggbb" or "rrggbb"; false for anything else.
bool parseColour(std::string text, std::uint32_t &pixel)
{
    if (!text.empty() && text.front() == '#') {
        text.erase(0, 1);
    }
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    pixel = std::uint32_t(std::strtoul(text.c_str(), nullptr, 16));
    return true;
}

std::string nameOf(std::uint32_t pixel)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "#%06x", unsigned(pixel & 0xffffffU));
    return text.data();
}

// Returns once the server has carried out everything asked before.
bool sync(xcb_connection_t *connection)
{
    const XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return reply != nullptr;
}

std::int64_t monotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

} // namespace zentrel

int main(int argc, char **argv)
{
    using namespace zentrel;
    std::array<int, 4> frame{};
    std::vector<std::uint32_t> colours;
    bool valid = argc >= 7;
    for (int i = 1; valid && i < argc; ++i) {
        if (i <= 4) {
            char *end = nullptr;
            frame[std::size_t(i - 1)] = int(std::strtol(argv[i], &end, 10));
            valid = end != argv[i] && *end == '\0';
        } else {
            std::uint32_t pixel = 0;
            valid = parseColour(argv[i], pixel);
            colours.push_back(pixel);
        }
    }
    if (!valid || frame[2] <= 0 || frame[3] <= 0) {
        std::fputs("usage: colour_cycler <x> <y> <width> <height> <#rrggbb> <#rrggbb>...\n",
                   stderr);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fputs("error: cannot connect to the X server\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = screenOf(connection, screenNumber);
    // Override-redirect: no window manager runs here to place it. The server paints it.
    const xcb_window_t window = xcb_generate_id(connection);
    const std::array<std::uint32_t, 2> values{colours.front(), 1};
    xcb_create_window(connection,
                      screen->root_depth,
                      window,
                      screen->root,
                      std::int16_t(frame[0]),
                      std::int16_t(frame[1]),
                      std::uint16_t(frame[2]),
                      std::uint16_t(frame[3]),
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT,
                      values.data());
    xcb_map_window(connection, window);
    if (!sync(connection)) {
        std::fputs("error: the X server went away\n", stderr);
        xcb_disconnect(connection);
        return 1;
    }
    say("ready");
    auto next = std::chrono::steady_clock::now();
    for (std::size_t turn = 0;; ++turn) {
        const std::uint32_t pixel = colours[turn % colours.size()];
        xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXEL, &pixel);
        xcb_clear_area(connection, 0, window, 0, 0, 0, 0);
        if (!sync(connection) || xcb_connection_has_error(connection)) {
            break;
        }
        say("colour " + nameOf(pixel) + " at " + std::to_string(monotonicMs()));
        next += period;
        std::this_thread::sleep_until(next);
    }
    xcb_disconnect(connection);
    return 0;
}
