#include "platform/x11/capture/x11_window_content.h"

#include "platform/x11/capture/x11_window_shape.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QMargins>

#include <xcb/xcb.h>

#include <vector>

namespace zentrel {
namespace {

// Window managers put the client one or two windows deep (KWin's frame holds a wrapper).
constexpr int clientDepth = 3;

bool hasProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property)
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr));
    return reply && reply->type != XCB_NONE;
}

// The window's rectangle in root pixels, empty when it is gone.
QRect rootRectOf(xcb_connection_t *c, xcb_window_t window, xcb_window_t root)
{
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    const XcbReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
    if (!geometry || !origin) {
        return {};
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

// The four margins (left, right, top, bottom) of a property, none when it is not set.
QMargins marginsOf(xcb_connection_t *c, xcb_window_t window, xcb_atom_t atom)
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) {
        return {};
    }
    const auto *margins = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return QMargins(int(margins[0]), int(margins[2]), int(margins[1]), int(margins[3]));
}

} // namespace

X11WindowContent::X11WindowContent(xcb_connection_t *connection, bool framesHoldDecorations)
    : m_connection(connection)
    , m_stateAtom(x11Atom(connection, "WM_STATE"))
    , m_gtkExtentsAtom(x11Atom(connection, "_GTK_FRAME_EXTENTS"))
    , m_frameExtentsAtom(x11Atom(connection, "_NET_FRAME_EXTENTS"))
    , m_framesHoldDecorations(framesHoldDecorations)
{}

X11WindowContent::Parts X11WindowContent::of(std::uint32_t topLevel, const QRect &frame)
{
    const auto known = m_known.find(topLevel);
    if (known != m_known.end() && known->second.frame == frame) {
        return known->second.parts;
    }
    const Parts parts = find(topLevel, frame);
    m_known[topLevel] = {frame, parts};
    return parts;
}

X11WindowContent::Parts X11WindowContent::find(std::uint32_t topLevel, const QRect &frame) const
{
    xcb_connection_t *c = m_connection;
    const XcbReply<xcb_query_tree_reply_t> top(
        xcb_query_tree_reply(c, xcb_query_tree(c, topLevel), nullptr));
    if (!top) {
        return {};
    }
    std::vector<xcb_window_t> level{topLevel};
    for (int depth = 0; depth <= clientDepth && !level.empty(); ++depth) {
        std::vector<xcb_window_t> next;
        for (const xcb_window_t window : level) {
            if (window == topLevel && hasProperty(c, window, m_stateAtom)) {
                const QRect drawn = frame - marginsOf(c, window, m_gtkExtentsAtom);
                const QRect content = drawn.isValid() ? drawn : frame;
                return {content, content, true, frame};
            }
            if (hasProperty(c, window, m_stateAtom)) {
                const QRect client = rootRectOf(c, window, top->root);
                const QRect decorated = (client + marginsOf(c, window, m_frameExtentsAtom)) & frame;
                const QRegion clientShape =
                    x11BoundingShape(c, x11AskBoundingShape(c, window), client, 0);
                return {client,
                        decorated,
                        m_framesHoldDecorations || decorated == client,
                        QRegion(frame) - client + clientShape};
            }
            const XcbReply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
            if (tree) {
                const xcb_window_t *children = xcb_query_tree_children(tree.get());
                next.insert(
                    next.end(), children, children + xcb_query_tree_children_length(tree.get()));
            }
        }
        level = std::move(next);
    }
    // No client inside: a window no window manager framed, such as a menu; all of it is its own.
    return {frame, frame, true, frame};
}

} // namespace zentrel
