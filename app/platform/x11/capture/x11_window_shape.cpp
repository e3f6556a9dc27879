#include "platform/x11/capture/x11_window_shape.h"

#include "platform/x11/xcb_reply.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <span>
#include <vector>

namespace zentrel {

unsigned int x11AskBoundingShape(xcb_connection_t *c, std::uint32_t window)
{
    if (!xcb_get_extension_data(c, &xcb_shape_id)->present) {
        return 0;
    }
    return xcb_shape_get_rectangles(c, window, XCB_SHAPE_SK_BOUNDING).sequence;
}

QRegion x11BoundingShape(xcb_connection_t *c, unsigned int request, const QRect &frame, int border)
{
    if (request == 0) {
        return frame;
    }
    const XcbReply<xcb_shape_get_rectangles_reply_t> reply(
        xcb_shape_get_rectangles_reply(c, {request}, nullptr));
    if (!reply) {
        return frame;
    }
    const std::span rectangles(
        xcb_shape_get_rectangles_rectangles(reply.get()),
        std::size_t(xcb_shape_get_rectangles_rectangles_length(reply.get())));
    // Relative to the window's origin, inside its border.
    const QPoint origin = frame.topLeft() + QPoint(border, border);
    std::vector<QRect> parts;
    parts.reserve(rectangles.size());
    for (const xcb_rectangle_t &rectangle : rectangles) {
        parts.emplace_back(origin + QPoint(rectangle.x, rectangle.y),
                           QSize(rectangle.width, rectangle.height));
    }
    // An unshaped window's answer is its frame.
    if (parts.size() == 1 && parts.front() == frame) {
        return frame;
    }
    QRegion shown;
    if (reply->ordering == XCB_CLIP_ORDERING_YX_BANDED) {
        // Many rectangles at once, as the server sorted them: a disc is hundreds.
        shown.setRects(parts.data(), int(parts.size()));
    } else {
        for (const QRect &part : parts) {
            shown += part;
        }
    }
    return shown & frame;
}

} // namespace zentrel
