// A minimal system-tray manager for tests: Xvfb has no desktop, and Qt shows a tray icon on X11
// only when some client owns _NET_SYSTEM_TRAY_S<screen>. It docks icons side by side and prints
// "ready" once it owns the selection, "docked <window>" and "undocked <window>" on stdout.

#include "e2e/tools/tool_output.h"
#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zentrel {

namespace {

constexpr std::uint16_t hostWidth = 200;
constexpr std::uint16_t hostHeight = 40;
constexpr std::uint16_t iconSize = 32;
constexpr std::uint16_t iconGap = 4;
// A light colour unlike any Qt default, so a test can tell host background from icon pixels.
constexpr std::uint32_t hostBackground = 0xa8c8e8;
constexpr std::uint32_t requestDockOpcode = 0;
constexpr std::uint32_t xembedEmbeddedNotify = 0;
constexpr std::uint32_t xembedVersion = 0;

class FakeTrayHost
{
public:
    FakeTrayHost(xcb_connection_t *connection, int screenNumber);
    bool start();
    void run();

private:
    xcb_atom_t atom(const char *name) const;
    xcb_timestamp_t serverTime();
    void announce(xcb_timestamp_t time);
    void dock(xcb_window_t icon);
    void sendEmbeddedNotify(xcb_window_t icon);
    void forget(xcb_window_t icon);

    xcb_connection_t *m_connection;
    int m_screenNumber;
    xcb_screen_t *m_screen = nullptr;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_selection = XCB_NONE;
    xcb_atom_t m_opcode = XCB_NONE;
    xcb_atom_t m_xembed = XCB_NONE;
    std::vector<xcb_window_t> m_icons;
};

FakeTrayHost::FakeTrayHost(xcb_connection_t *connection, int screenNumber)
    : m_connection(connection)
    , m_screenNumber(screenNumber)
{
    m_screen = screenOf(connection, screenNumber);
}

xcb_atom_t FakeTrayHost::atom(const char *name) const
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

bool FakeTrayHost::start()
{
    const std::string selectionName = "_NET_SYSTEM_TRAY_S" + std::to_string(m_screenNumber);
    m_selection = atom(selectionName.c_str());
    m_opcode = atom("_NET_SYSTEM_TRAY_OPCODE");
    m_xembed = atom("_XEMBED");

    m_window = xcb_generate_id(m_connection);
    const std::array<std::uint32_t, 3> values{
        hostBackground,
        1,
        XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY
            | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
    };
    xcb_create_window(m_connection,
                      XCB_COPY_FROM_PARENT,
                      m_window,
                      m_screen->root,
                      std::int16_t(m_screen->width_in_pixels - hostWidth),
                      0,
                      hostWidth,
                      hostHeight,
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      m_screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK,
                      values.data());
    // Icons should use the host's own opaque visual, so they paint over the host background.
    const xcb_visualid_t visual = m_screen->root_visual;
    xcb_change_property(m_connection,
                        XCB_PROP_MODE_REPLACE,
                        m_window,
                        atom("_NET_SYSTEM_TRAY_VISUAL"),
                        XCB_ATOM_VISUALID,
                        32,
                        1,
                        &visual);
    xcb_map_window(m_connection, m_window);

    const xcb_timestamp_t time = serverTime();
    xcb_set_selection_owner(m_connection, m_window, m_selection, time);
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr));
    if (!owner || owner->owner != m_window) {
        say("error: another client owns " + selectionName);
        return false;
    }
    announce(time);
    return true;
}

// A selection needs a real server time; a property change reports one.
xcb_timestamp_t FakeTrayHost::serverTime()
{
    const std::uint32_t horizontal = 0;
    xcb_change_property(m_connection,
                        XCB_PROP_MODE_REPLACE,
                        m_window,
                        atom("_NET_SYSTEM_TRAY_ORIENTATION"),
                        XCB_ATOM_CARDINAL,
                        32,
                        1,
                        &horizontal);
    xcb_flush(m_connection);
    while (xcb_generic_event_t *event = xcb_wait_for_event(m_connection)) {
        const XcbReply<xcb_generic_event_t> owned(event);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            return reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
        }
    }
    return XCB_CURRENT_TIME;
}

void FakeTrayHost::announce(xcb_timestamp_t time)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m_screen->root;
    message.type = atom("MANAGER");
    message.data.data32[0] = time;
    message.data.data32[1] = m_selection;
    message.data.data32[2] = m_window;
    xcb_send_event(m_connection,
                   0,
                   m_screen->root,
                   XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}

void FakeTrayHost::dock(xcb_window_t icon)
{
    const auto slot = std::int16_t(m_icons.size());
    const auto x = std::int16_t(iconGap + slot * (iconSize + iconGap));
    const auto y = std::int16_t((hostHeight - iconSize) / 2);
    const XcbReply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_reparent_window_checked(m_connection, icon, m_window, x, y)));
    if (error) {
        say("error: cannot dock " + std::to_string(icon));
        return;
    }
    const std::array<std::uint32_t, 2> size{iconSize, iconSize};
    xcb_configure_window(
        m_connection, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size.data());
    xcb_map_window(m_connection, icon);
    sendEmbeddedNotify(icon);
    m_icons.push_back(icon);
    // Only report the dock once the server has carried it out.
    const XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    say("docked " + std::to_string(icon));
}

void FakeTrayHost::sendEmbeddedNotify(xcb_window_t icon)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = icon;
    message.type = m_xembed;
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = xembedEmbeddedNotify;
    message.data.data32[3] = m_window;
    message.data.data32[4] = xembedVersion;
    xcb_send_event(
        m_connection, 0, icon, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
}

void FakeTrayHost::forget(xcb_window_t icon)
{
    for (auto it = m_icons.begin(); it != m_icons.end(); ++it) {
        if (*it == icon) {
            m_icons.erase(it);
            say("undocked " + std::to_string(icon));
            return;
        }
    }
}

void FakeTrayHost::run()
{
    say("ready");
    while (xcb_generic_event_t *event = xcb_wait_for_event(m_connection)) {
        const XcbReply<xcb_generic_event_t> owned(event);
        switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
            if (message->type == m_opcode && message->data.data32[1] == requestDockOpcode) {
                dock(message->data.data32[2]);
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            forget(reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
            break;
        case XCB_REPARENT_NOTIFY: {
            const auto *reparent = reinterpret_cast<xcb_reparent_notify_event_t *>(event);
            if (reparent->parent != m_window) {
                forget(reparent->window);
            }
            break;
        }
        case XCB_SELECTION_CLEAR:
            say("error: lost the tray selection");
            return;
        default:
            break;
        }
    }
}

} // namespace

} // namespace zentrel

int main()
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fputs("error: cannot connect to the X server\n", stderr);
        return 1;
    }
    zentrel::FakeTrayHost host(connection, screenNumber);
    const bool started = host.start();
    if (started) {
        host.run();
    }
    xcb_disconnect(connection);
    return started ? 0 : 1;
}
