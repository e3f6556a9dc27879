#include "platform/x11/xcb_connection.h"

#include <xcb/xcb.h>

namespace zentrel {

void XcbDisconnect::operator()(xcb_connection_t *connection) const
{
    xcb_disconnect(connection);
}

} // namespace zentrel
