// Another program holding a hot key, for tests: it grabs Ctrl+Alt+<letter> on the root window,
// with every Caps Lock and Num Lock variant, as desktop hot-key daemons do. It prints "ready"
// once it holds them all and "pressed" for each press of the combination it receives.

#include "e2e/tools/tool_output.h"
#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace zentrel {

namespace {

constexpr xcb_keysym_t altLeft = 0xffe9;
// Xvfb's default keymap puts Num Lock on Mod2.
constexpr std::uint16_t numLockMask = XCB_MOD_MASK_2;

// The first keycode whose unshifted symbol is keysym, or 0.
xcb_keycode_t keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const auto count = std::uint8_t(setup->max_keycode - setup->min_keycode + 1);
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
    if (!mapping) {
        return 0;
    }
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    for (int i = 0; i < count; ++i) {
        if (symbols[i * mapping->keysyms_per_keycode] == keysym) {
            return xcb_keycode_t(setup->min_keycode + i);
        }
    }
    return 0;
}

// The modifier bit the key is mapped to, or 0; Alt is not on the same one everywhere.
std::uint16_t modifierOf(xcb_connection_t *connection, xcb_keycode_t keycode)
{
    const XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!mapping) {
        return 0;
    }
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < mapping->keycodes_per_modifier; ++i) {
            if (keycodes[modifier * mapping->keycodes_per_modifier + i] == keycode) {
                return std::uint16_t(1U << modifier);
            }
        }
    }
    return 0;
}

bool grabAllLockVariants(xcb_connection_t *connection,
                         xcb_window_t root,
                         xcb_keycode_t key,
                         std::uint16_t modifiers)
{
    for (const std::uint16_t locks : {std::uint16_t(0),
                                      std::uint16_t(XCB_MOD_MASK_LOCK),
                                      numLockMask,
                                      std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask)}) {
        const XcbReply<xcb_generic_error_t> error(
            xcb_request_check(connection,
                              xcb_grab_key_checked(connection,
                                                   1,
                                                   root,
                                                   std::uint16_t(modifiers | locks),
                                                   key,
                                                   XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC)));
        if (error) {
            say("error: grab refused with code " + std::to_string(error->error_code));
            return false;
        }
    }
    return true;
}

} // namespace

} // namespace zentrel

int main(int argc, char **argv)
{
    using namespace zentrel;
    if (argc != 2 || std::string(argv[1]).size() != 1) {
        std::fputs("usage: fake_key_holder <lowercase letter>\n", stderr);
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fputs("error: cannot connect to the X server\n", stderr);
        return 1;
    }
    const xcb_keycode_t key = keycodeOf(connection, xcb_keysym_t(argv[1][0]));
    const std::uint16_t alt = modifierOf(connection, keycodeOf(connection, altLeft));
    if (key == 0 || alt == 0) {
        say("error: the keymap has no such key or no Alt");
        xcb_disconnect(connection);
        return 1;
    }
    const auto modifiers = std::uint16_t(XCB_MOD_MASK_CONTROL | alt);
    if (!grabAllLockVariants(
            connection, screenOf(connection, screenNumber)->root, key, modifiers)) {
        xcb_disconnect(connection);
        return 1;
    }
    say("ready");
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
            say("pressed");
        }
        std::free(event);
    }
    xcb_disconnect(connection);
    return 0;
}
