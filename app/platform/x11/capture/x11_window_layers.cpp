#include "platform/x11/capture/x11_window_layers.h"

#include "platform/x11/capture/x11_own_top_levels.h"
#include "platform/x11/capture/x11_window_shape.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <algorithm>

namespace zentrel {

std::optional<X11Layers> x11LayersWithin(xcb_connection_t *c,
                                         std::uint32_t root,
                                         const QRect &area,
                                         const std::vector<std::uint32_t> &ownWindows,
                                         X11OwnTopLevels &ownTopLevels)
{
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(c, root);
    ownTopLevels.ask(ownWindows);
    const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, treeCookie, nullptr));
    if (!tree) {
        ownTopLevels.take();
        return std::nullopt;
    }
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    for (int i = 0; i < count; ++i) {
        attributeCookies.push_back(xcb_get_window_attributes(c, children[i]));
        geometryCookies.push_back(xcb_get_geometry(c, children[i]));
    }
    const std::vector<std::uint32_t> ours = ownTopLevels.take();

    X11Layers layers;
    for (int i = 0; i < count; ++i) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, attributeCookies[i], nullptr));
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, geometryCookies[i], nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE
            || attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY) {
            continue;
        }
        const int border = geometry->border_width;
        const QRect frame(
            geometry->x, geometry->y, geometry->width + 2 * border, geometry->height + 2 * border);
        const QRect part = frame & area;
        if (part.isEmpty()) {
            continue;
        }
        if (std::find(ours.begin(), ours.end(), children[i]) != ours.end()) {
            layers.ours.push_back(part);
        } else {
            layers.others.push_back(
                {children[i], frame, QRegion(frame), attributes->visual, border});
        }
    }
    return layers;
}

// Asked only of the windows that show: most of the root's children are unmapped or elsewhere,
// and a stream lists them on every frame.
void x11FindShapes(xcb_connection_t *c, std::vector<X11Layer> &layers)
{
    std::vector<unsigned int> requests;
    requests.reserve(layers.size());
    for (const X11Layer &layer : layers) {
        requests.push_back(x11AskBoundingShape(c, layer.window));
    }
    for (std::size_t i = 0; i < layers.size(); ++i) {
        X11Layer &layer = layers[i];
        layer.shown = x11BoundingShape(c, requests[i], layer.frame, layer.border);
    }
}

} // namespace zentrel
