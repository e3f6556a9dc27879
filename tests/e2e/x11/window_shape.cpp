#include "e2e/x11/window_shape.h"

#include "platform/x11/xcb_connection.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace zentrel {

std::optional<QRegion> boundingShapeOf(const QString &display, std::uint32_t window)
{
    const QByteArray name = display.toLatin1();
    const XcbConnection owner(xcb_connect(name.constData(), nullptr));
    xcb_connection_t *connection = owner.get();
    if (xcb_connection_has_error(connection)) {
        return std::nullopt;
    }
    // The server answers for an unshaped window too, with the window's own extent.
    const XcbReply<xcb_shape_get_rectangles_reply_t> shape(xcb_shape_get_rectangles_reply(
        connection, xcb_shape_get_rectangles(connection, window, XCB_SHAPE_SK_BOUNDING), nullptr));
    if (!shape) {
        return std::nullopt;
    }
    QRegion region;
    const xcb_rectangle_t *rectangles = xcb_shape_get_rectangles_rectangles(shape.get());
    const int count = xcb_shape_get_rectangles_rectangles_length(shape.get());
    for (int i = 0; i < count; ++i) {
        region +=
            QRect(rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height);
    }
    return region;
}

} // namespace zentrel
