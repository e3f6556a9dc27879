#include "e2e/x11/bare_window.h"

namespace zentrel {

std::uint32_t
mapBareWindow(xcb_connection_t *connection, std::uint32_t parent, const QRect &frame, int border)
{
    const std::uint32_t id = xcb_generate_id(connection);
    xcb_create_window(connection,
                      XCB_COPY_FROM_PARENT,
                      id,
                      parent,
                      std::int16_t(frame.x()),
                      std::int16_t(frame.y()),
                      std::uint16_t(frame.width()),
                      std::uint16_t(frame.height()),
                      std::uint16_t(border),
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT,
                      0,
                      nullptr);
    xcb_map_window(connection, id);
    return id;
}

} // namespace zentrel
