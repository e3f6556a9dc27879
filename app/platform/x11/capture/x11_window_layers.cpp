#include "platform/x11/capture/x11_window_layers.h"

#include "platform/x11/capture/x11_window_shape.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <algorithm>

namespace zentrel {

std::optional<X11Layers> x11LayersWithin(xcb_connection_t *c,
                                         std::uint32_t root,
                                         const QRect &area,
                                         const std::vector<std::uint32_t> &ownWindows)
{
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree) {
        return std::nullopt;
    }
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    std::vector<unsigned int> shapeRequests;
    for (int i = 0; i < count; ++i) {
        attributeCookies.push_back(xcb_get_window_attributes(c, children[i]));
        geometryCookies.push_back(xcb_get_geometry(c, children[i]));
        shapeRequests.push_back(x11AskBoundingShape(c, children[i]));
    }
    const std::vector<std::uint32_t> ours = x11TopLevelsOf(c, root, ownWindows);

    X11Layers layers;
    for (int i = 0; i < count; ++i) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, attributeCookies[i], nullptr));
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, geometryCookies[i], nullptr));
        const bool shows = attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE
                           && attributes->_class != XCB_WINDOW_CLASS_INPUT_ONLY;
        const int border = shows ? geometry->border_width : 0;
        const QRect frame = shows ? QRect(geometry->x,
                                          geometry->y,
                                          geometry->width + 2 * border,
                                          geometry->height + 2 * border)
                                  : QRect();
        const QRect part = frame & area;
        const unsigned int shapeRequest = shapeRequests[std::size_t(i)];
        if (part.isEmpty()) {
            x11ForgetBoundingShape(c, shapeRequest);
        } else if (std::find(ours.begin(), ours.end(), children[i]) != ours.end()) {
            x11ForgetBoundingShape(c, shapeRequest);
            layers.ours.push_back(part);
        } else {
            layers.others.push_back({children[i],
                                     frame,
                                     x11BoundingShape(c, shapeRequest, frame, border),
                                     attributes->visual});
        }
    }
    return layers;
}

} // namespace zentrel
