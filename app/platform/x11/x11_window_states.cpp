#include "platform/x11/x11_window_states.h"

#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

namespace zentrel {

void x11KeepOutOfTaskLists(std::uint32_t window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return;
    }
    const std::uint32_t property = x11Atom(connection, "_NET_WM_STATE");
    const XcbReply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64),
        nullptr));
    std::vector<std::uint32_t> states;
    if (current && current->type == XCB_ATOM_ATOM && current->format == 32) {
        const auto *values =
            static_cast<const std::uint32_t *>(xcb_get_property_value(current.get()));
        states.assign(values, values + xcb_get_property_value_length(current.get()) / 4);
    }
    // KWin's switcher reads its own state rather than the taskbar one.
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR",
                             "_NET_WM_STATE_SKIP_PAGER",
                             "_KDE_NET_WM_STATE_SKIP_SWITCHER"}) {
        const std::uint32_t state = x11Atom(connection, name);
        if (state != XCB_NONE && std::find(states.begin(), states.end(), state) == states.end()) {
            states.push_back(state);
        }
    }
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        property,
                        XCB_ATOM_ATOM,
                        32,
                        static_cast<std::uint32_t>(states.size()),
                        states.data());
    xcb_flush(connection);
}

} // namespace zentrel
