#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace zentrel {

// The core keyboard's keymap and current layout, read from the X server with xkbcommon.
class XkbKeyboard
{
public:
    // None when the server's keymap cannot be read.
    static std::unique_ptr<XkbKeyboard> load(xcb_connection_t *connection);

    // What the key types in the current layout without modifiers; none when nothing printable.
    std::optional<std::string> character(uint32_t keycode) const;

    // The same keymap with the same layout active: keys type the same characters.
    bool isSameLayout(const XkbKeyboard &other) const;

    // The X modifier bits the lock keys (Caps, Num and Scroll Lock) toggle.
    uint16_t lockModifiers() const { return m_lockModifiers; }

private:
    struct Deleter
    {
        void operator()(xkb_context *context) const;
        void operator()(xkb_keymap *keymap) const;
        void operator()(xkb_state *state) const;
    };

    XkbKeyboard() = default;
    std::string keymapText() const;
    uint32_t layoutIndex() const;

    std::unique_ptr<xkb_context, Deleter> m_context;
    std::unique_ptr<xkb_keymap, Deleter> m_keymap;
    std::unique_ptr<xkb_state, Deleter> m_state;
    uint16_t m_lockModifiers = 0;
};

} // namespace zentrel
