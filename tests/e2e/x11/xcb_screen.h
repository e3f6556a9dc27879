#pragma once

#include <xcb/xcb.h>

namespace zentrel {

// The screen xcb_connect reported by number: the one the display name chose.
inline xcb_screen_t *screenOf(xcb_connection_t *connection, int screenNumber)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    return screens.data;
}

} // namespace zentrel
