#include "platform/x11/x11_window_tree.h"

#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

namespace zentrel {

void x11RoundTrip(xcb_connection_t *connection)
{
    const XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

std::uint32_t x11Atom(xcb_connection_t *connection, const std::string &name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

// A compositing manager owns _NET_WM_CM_S<screen> and already keeps every window's contents.
bool x11CompositingManagerRuns(xcb_connection_t *connection, int screenNumber)
{
    const xcb_atom_t atom = x11Atom(connection, "_NET_WM_CM_S" + std::to_string(screenNumber));
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

std::uint32_t x11WindowManagerCheckWindow(xcb_connection_t *connection, std::uint32_t root)
{
    const XcbReply<xcb_get_property_reply_t> check(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection,
                                                0,
                                                root,
                                                x11Atom(connection, "_NET_SUPPORTING_WM_CHECK"),
                                                XCB_ATOM_WINDOW,
                                                0,
                                                1),
                               nullptr));
    if (!check || check->type != XCB_ATOM_WINDOW
        || xcb_get_property_value_length(check.get()) != 4) {
        return XCB_NONE;
    }
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(check.get()));
}

// The server names each client's resources within a range of its own: the bits outside the
// resource id mask tell which client made a window.
bool x11WindowManagerComposites(xcb_connection_t *connection, std::uint32_t root, int screenNumber)
{
    const xcb_atom_t selection = x11Atom(connection, "_NET_WM_CM_S" + std::to_string(screenNumber));
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr));
    const xcb_window_t manager = x11WindowManagerCheckWindow(connection, root);
    if (!owner || owner->owner == XCB_NONE || manager == XCB_NONE) {
        return false;
    }
    const std::uint32_t clientBits = ~xcb_get_setup(connection)->resource_id_mask;
    return (owner->owner & clientBits) == (manager & clientBits);
}

std::vector<std::uint32_t>
x11PathToRoot(xcb_connection_t *c, std::uint32_t root, std::uint32_t window)
{
    // A window manager puts each window in a frame of its own; the frame is what the root holds.
    std::vector<std::uint32_t> path;
    for (int depth = 0; depth < 16 && window != XCB_NONE; ++depth) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree || tree->parent == XCB_NONE) {
            break;
        }
        path.push_back(window);
        if (tree->parent == root) {
            return path;
        }
        window = tree->parent;
    }
    return {};
}

std::vector<std::uint32_t>
x11TopLevelsOf(xcb_connection_t *c, std::uint32_t root, const std::vector<std::uint32_t> &windows)
{
    std::vector<std::uint32_t> topLevels;
    for (const xcb_window_t window : windows) {
        const std::vector<std::uint32_t> path = x11PathToRoot(c, root, window);
        if (!path.empty()) {
            topLevels.push_back(path.back());
        }
    }
    return topLevels;
}

} // namespace zentrel
