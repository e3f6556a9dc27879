#include "platform/x11/input/xcb_key_hold.h"

#include "platform/x11/input/x11_combination.h"
#include "platform/x11/input/xcb_keyboard_setup.h"
#include "platform/x11/input/xkb_keyboard.h"
#include "platform/x11/xcb_reply.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <optional>
#include <vector>

namespace zentrel {
namespace {

// The lock keys' modifier bits; none where the keymap cannot be read, so the key is taken at
// least while no lock key is on.
std::uint16_t lockModifiersOf(xcb_connection_t *connection)
{
    if (!xkb_x11_setup_xkb_extension(connection,
                                     XKB_X11_MIN_MAJOR_XKB_VERSION,
                                     XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                     nullptr,
                                     nullptr,
                                     nullptr,
                                     nullptr)) {
        return 0;
    }
    const auto keyboard = XkbKeyboard::load(connection);
    return keyboard ? std::uint16_t(keyboard->lockModifiers() & ~shortcutModifierMask()) : 0;
}

// Every variant or none: a key taken only with some lock keys on would still reach programs.
bool grabWithEveryLock(xcb_connection_t *connection, std::uint32_t root, std::uint8_t keycode)
{
    std::vector<xcb_void_cookie_t> cookies;
    for (const std::uint16_t locks : lockVariants(lockModifiersOf(connection))) {
        cookies.push_back(xcb_grab_key_checked(
            connection, 1, root, locks, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool isHeld = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        const XcbReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
        isHeld = isHeld && !error;
    }
    return isHeld;
}

} // namespace

std::unique_ptr<XcbKeyHold> XcbKeyHold::create(int carbonKeyCode)
{
    const std::optional<std::uint8_t> keycode = x11Keycode(carbonKeyCode);
    XcbConnection connection(xcb_connect(nullptr, nullptr));
    if (!keycode || !connection || xcb_connection_has_error(connection.get())) {
        return nullptr;
    }
    const std::uint32_t root = defaultRootWindow(connection.get());
    if (root == 0 || !grabWithEveryLock(connection.get(), root, *keycode)) {
        return nullptr;
    }
    return std::unique_ptr<XcbKeyHold>(new XcbKeyHold(std::move(connection), *keycode));
}

XcbKeyHold::XcbKeyHold(XcbConnection connection, std::uint8_t keycode)
    : m_connection(std::move(connection))
    , m_keycode(keycode)
{
    auto *notifier = new QSocketNotifier(
        xcb_get_file_descriptor(m_connection.get()), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &XcbKeyHold::readEvents);
    // Events may already sit in xcb's queue, where the socket no longer announces them.
    readEvents();
}

void XcbKeyHold::readEvents()
{
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection.get())}) {
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event.get());
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS && press->detail == m_keycode) {
            Q_EMIT pressed();
        }
    }
}

} // namespace zentrel
