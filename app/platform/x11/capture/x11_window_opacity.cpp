#include "platform/x11/capture/x11_window_opacity.h"

#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <algorithm>

namespace zentrel {

X11TransparentWindows::X11TransparentWindows(xcb_connection_t *connection,
                                             std::uint32_t root,
                                             const std::vector<std::uint32_t> &windows)
    : m_connection(connection)
    , m_atom(x11Atom(connection, "_NET_WM_WINDOW_OPACITY"))
{
    if (m_atom == XCB_NONE || windows.empty()) {
        return;
    }
    // Some read the opacity on the window, others (xcompmgr) on the root's child that holds it.
    std::vector<std::uint32_t> targets = windows;
    for (const std::uint32_t frame : x11TopLevelsOf(connection, root, windows)) {
        if (std::find(targets.begin(), targets.end(), frame) == targets.end()) {
            targets.push_back(frame);
        }
    }
    for (const std::uint32_t window : targets) {
        const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, m_atom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr));
        if (!reply) {
            continue;
        }
        std::optional<std::uint32_t> opacity;
        if (xcb_get_property_value_length(reply.get()) == 4) {
            opacity = *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
        }
        m_held.push_back({window, opacity});
        const std::uint32_t transparent = 0;
        xcb_change_property(connection,
                            XCB_PROP_MODE_REPLACE,
                            window,
                            m_atom,
                            XCB_ATOM_CARDINAL,
                            32,
                            1,
                            &transparent);
    }
    xcb_flush(connection);
}

X11TransparentWindows::~X11TransparentWindows()
{
    for (const Held &held : m_held) {
        // Fails harmlessly for a window closed meanwhile.
        if (held.opacity) {
            xcb_change_property(m_connection,
                                XCB_PROP_MODE_REPLACE,
                                held.window,
                                m_atom,
                                XCB_ATOM_CARDINAL,
                                32,
                                1,
                                &*held.opacity);
        } else {
            xcb_delete_property(m_connection, held.window, m_atom);
        }
    }
    xcb_flush(m_connection);
}

} // namespace zentrel
