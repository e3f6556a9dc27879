#include "e2e/x11/spare_keys.h"

#include "platform/x11/xcb_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QList>

#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

namespace zentrel {

namespace {

// Latin-1 characters are their own keysyms; the rest of Unicode is offset by 0x01000000.
xcb_keysym_t keysymOf(char32_t character)
{
    const bool isLatin1 =
        (character >= 0x20 && character <= 0x7E) || (character >= 0xA0 && character <= 0xFF);
    return isLatin1 ? xcb_keysym_t(character) : xcb_keysym_t(0x01000000 | character);
}

} // namespace

bool bindToSpareKeys(const QString &display, const QString &text)
{
    const QByteArray name = display.toLatin1();
    const XcbConnection owner(xcb_connect(name.constData(), nullptr));
    xcb_connection_t *connection = owner.get();
    if (xcb_connection_has_error(connection)) {
        return false;
    }
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
    if (!mapping) {
        return false;
    }
    const int perKey = mapping->keysyms_per_keycode;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const xcb_keysym_t *end = keysyms + count * perKey;

    std::vector<xcb_keysym_t> missing;
    for (const char32_t character : text.toUcs4()) {
        // xdotool types a line's end and a tab with Return and Tab. Binding anything changes the
        // keymap, which has Zentrel take its hot keys anew, so nothing is bound needlessly.
        if (character < 0x20 || character == 0x7F) {
            continue;
        }
        const xcb_keysym_t keysym = keysymOf(character);
        if (std::find(keysyms, end, keysym) == end
            && std::find(missing.begin(), missing.end(), keysym) == missing.end()) {
            missing.push_back(keysym);
        }
    }
    // Spare keys from the top down, where xdotool looks for its own last.
    auto next = missing.begin();
    for (int key = count - 1; key >= 0 && next != missing.end(); --key) {
        const xcb_keysym_t *row = keysyms + key * perKey;
        if (std::any_of(row, row + perKey, [](xcb_keysym_t keysym) { return keysym != 0; })) {
            continue;
        }
        // Both levels, so Shift held or not types the same character.
        std::vector<xcb_keysym_t> bound(perKey, 0);
        std::fill_n(bound.begin(), std::min(perKey, 2), *next++);
        xcb_change_keyboard_mapping(connection,
                                    1,
                                    xcb_keycode_t(setup->min_keycode + key),
                                    std::uint8_t(perKey),
                                    bound.data());
    }
    // Bound before xdotool, on a connection of its own, looks at the keymap.
    const XcbReply<xcb_get_input_focus_reply_t> synced(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return synced && next == missing.end();
}

} // namespace zentrel
