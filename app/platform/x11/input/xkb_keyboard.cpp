#include "platform/x11/input/xkb_keyboard.h"

#include "platform/x11/input/xkb_key_character_layout.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>

namespace zentrel {
namespace {

// X's eight real modifiers, in the order of their mask bits.
constexpr std::array<const char *, 8> realModifierNames = {
    "Shift", "Lock", "Control", "Mod1", "Mod2", "Mod3", "Mod4", "Mod5"};

constexpr uint16_t capsLockMask = 1 << 1;
constexpr uint16_t usualNumLockMask = 1 << 4;
constexpr uint16_t usualScrollLockMask = 1 << 5;

std::optional<xkb_keycode_t> keyTyping(xkb_keymap *keymap, xkb_keysym_t keysym)
{
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
        const xkb_keysym_t *symbols = nullptr;
        if (xkb_keymap_key_get_syms_by_level(keymap, key, 0, 0, &symbols) == 1
            && symbols[0] == keysym) {
            return key;
        }
    }
    return std::nullopt;
}

uint16_t lockedRealModifiers(xkb_keymap *keymap, xkb_state *state)
{
    uint16_t mask = 0;
    for (std::size_t bit = 0; bit < realModifierNames.size(); ++bit) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, realModifierNames[bit]);
        if (index != XKB_MOD_INVALID
            && xkb_state_mod_index_is_active(state, index, XKB_STATE_MODS_LOCKED) > 0) {
            mask |= static_cast<uint16_t>(1u << bit);
        }
    }
    return mask;
}

// Which modifiers a lock key toggles: pressed once on a fresh state, what is left locked.
uint16_t modifiersLockedBy(xkb_keymap *keymap, xkb_keysym_t keysym)
{
    const auto key = keyTyping(keymap, keysym);
    const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(
        key ? xkb_state_new(keymap) : nullptr, &xkb_state_unref);
    if (!state) {
        return 0;
    }
    xkb_state_update_key(state.get(), *key, XKB_KEY_DOWN);
    xkb_state_update_key(state.get(), *key, XKB_KEY_UP);
    return lockedRealModifiers(keymap, state.get());
}

uint16_t lockModifiersOf(xkb_keymap *keymap)
{
    const uint16_t numLock = modifiersLockedBy(keymap, XKB_KEY_Num_Lock);
    const uint16_t scrollLock = modifiersLockedBy(keymap, XKB_KEY_Scroll_Lock);
    return capsLockMask | (numLock != 0 ? numLock : usualNumLockMask)
           | (scrollLock != 0 ? scrollLock : usualScrollLockMask);
}

bool isControlCharacter(uint32_t codepoint)
{
    return codepoint < 0x20 || (codepoint >= 0x7f && codepoint < 0xa0);
}

} // namespace

void XkbKeyboard::Deleter::operator()(xkb_context *context) const
{
    xkb_context_unref(context);
}

void XkbKeyboard::Deleter::operator()(xkb_keymap *keymap) const
{
    xkb_keymap_unref(keymap);
}

void XkbKeyboard::Deleter::operator()(xkb_state *state) const
{
    xkb_state_unref(state);
}

std::unique_ptr<XkbKeyboard> XkbKeyboard::load(xcb_connection_t *connection)
{
    std::unique_ptr<XkbKeyboard> keyboard(new XkbKeyboard);
    // The keymap comes from the server, so no keymap files are looked up.
    keyboard->m_context.reset(xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (!keyboard->m_context || device < 0) {
        return nullptr;
    }
    keyboard->m_keymap.reset(xkb_x11_keymap_new_from_device(
        keyboard->m_context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keyboard->m_keymap) {
        return nullptr;
    }
    keyboard->m_state.reset(
        xkb_x11_state_new_from_device(keyboard->m_keymap.get(), connection, device));
    if (!keyboard->m_state) {
        return nullptr;
    }
    keyboard->m_lockModifiers = lockModifiersOf(keyboard->m_keymap.get());
    keyboard->m_keyCharacterLayout =
        xkbKeyCharacterLayout(keyboard->m_keymap.get(), keyboard->layoutIndex());
    return keyboard;
}

bool XkbKeyboard::isSameLayout(const XkbKeyboard &other) const
{
    return layoutIndex() == other.layoutIndex() && keymapText() == other.keymapText();
}

std::string XkbKeyboard::keymapText() const
{
    char *text = xkb_keymap_get_as_string(m_keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1);
    std::string copy = text ? text : "";
    std::free(text);
    return copy;
}

uint32_t XkbKeyboard::layoutIndex() const
{
    return xkb_state_serialize_layout(m_state.get(), XKB_STATE_LAYOUT_EFFECTIVE);
}

std::optional<std::string> XkbKeyboard::character(uint32_t keycode) const
{
    // The level is always the unmodified one.
    const xkb_keysym_t *symbols = nullptr;
    if (!m_keyCharacterLayout
        || xkb_keymap_key_get_syms_by_level(
               m_keymap.get(), keycode, *m_keyCharacterLayout, 0, &symbols)
               != 1
        || isControlCharacter(xkb_keysym_to_utf32(symbols[0]))) {
        return std::nullopt;
    }
    std::array<char, 8> buffer{};
    const int size = xkb_keysym_to_utf8(symbols[0], buffer.data(), buffer.size());
    if (size <= 1) {
        return std::nullopt;
    }
    return std::string(buffer.data(), static_cast<std::size_t>(size - 1));
}

} // namespace zentrel
