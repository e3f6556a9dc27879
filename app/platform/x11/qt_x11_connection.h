#pragma once

struct xcb_connection_t;

namespace zentrel {

// Qt's own connection to the X server, whose requests keep their order with Qt's; none outside
// an X11 session or before the application exists.
xcb_connection_t *qtX11Connection();

} // namespace zentrel
