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

    // What the key types without modifiers in the layout that names keys (see
    // xkbKeyCharacterLayout); none when it types nothing printable there, or no layout of the
    // keymap writes Latin letters.
    std::optional<std::string> character(uint32_t keycode) const;

    // Whether some layout of the keymap writes Latin letters; without one, keys are named as
    // on a US keyboard.
    bool hasAsciiCapableLayout() const { return m_keyCharacterLayout.has_value(); }

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
    // Chosen once per keymap and layout switch, since every label asks for it.
    std::optional<uint32_t> m_keyCharacterLayout;
};

} // namespace zentrel
