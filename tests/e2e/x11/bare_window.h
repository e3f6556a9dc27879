#pragma once

#include <QRect>

#include <xcb/xcb.h>

#include <cstdint>

namespace zentrel {

// A mapped window with nothing of its own (no background, no properties), as a window manager's
// frames and wrappers are: what a test of the window tree needs to nest windows by hand.
std::uint32_t mapBareWindow(xcb_connection_t *connection,
                            std::uint32_t parent,
                            const QRect &frame,
                            int border = 0);

} // namespace zentrel
