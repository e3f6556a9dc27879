#include "platform/x11/input/xcb_keyboard_setup.h"

#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <cstdlib>

// The XKB protocol header names a field "explicit", which C++ reserves.
#define explicit explicitComponents
#include <xcb/xkb.h>
#undef explicit

namespace zentrel {

uint32_t defaultRootWindow(xcb_connection_t *connection)
{
    int screen = 0;
    char *host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    std::free(host);
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; roots.rem > 0 && screen > 0; --screen) {
        xcb_screen_next(&roots);
    }
    return roots.rem > 0 ? roots.data->root : XCB_NONE;
}

void requestDetectableAutoRepeat(xcb_connection_t *connection)
{
    const auto cookie = xcb_xkb_per_client_flags(connection,
                                                 XCB_XKB_ID_USE_CORE_KBD,
                                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                                 0,
                                                 0,
                                                 0);
    XcbReply<xcb_xkb_per_client_flags_reply_t>(
        xcb_xkb_per_client_flags_reply(connection, cookie, nullptr));
}

// Qt shares the connection and selects XKB events of its own; the affect masks change only the
// details named here and leave Qt's selection as it is.
void selectKeyboardChanges(xcb_connection_t *connection)
{
    constexpr uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY
                                | XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    constexpr uint16_t mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS
                                  | XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_KEY_ACTIONS;
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES | XCB_XKB_NKN_DETAIL_DEVICE_ID;
    details.newKeyboardDetails = details.affectNewKeyboard;
    details.affectState = XCB_XKB_STATE_PART_GROUP_STATE;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_STATE;
    const auto cookie = xcb_xkb_select_events_aux_checked(
        connection, XCB_XKB_ID_USE_CORE_KBD, events, 0, 0, mapParts, mapParts, &details);
    XcbReply<xcb_generic_error_t>(xcb_request_check(connection, cookie));
}

} // namespace zentrel
