#include "platform/x11/compositing.h"

#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <string>

namespace zentrel {

bool isX11CompositingActive()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return false;
    }
    // A compositing manager owns the selection _NET_WM_CM_S<screen> while it runs.
    const std::string name = "_NET_WM_CM_S0";
    const XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
        nullptr));
    if (!atom) {
        return false;
    }
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

} // namespace zentrel
