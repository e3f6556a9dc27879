#pragma once

#include <memory>

struct xcb_connection_t;

namespace zentrel {

struct XcbDisconnect
{
    void operator()(xcb_connection_t *connection) const;
};

// A connection of our own to the X server, apart from Qt's, closed when it goes.
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

} // namespace zentrel
