#include "platform/x11/input/xkb_key_character_layout.h"

#include "hotkeys/ascii_capable_layout.h"
#include "platform/x11/input/x11_combination.h"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <vector>

namespace zentrel {
namespace {

bool isAsciiCapable(xkb_keymap *keymap, xkb_layout_index_t layout)
{
    std::array<char32_t, hotkeys::letterKeys.size()> typed{};
    for (std::size_t index = 0; index < typed.size(); ++index) {
        const auto keycode = x11Keycode(hotkeys::letterKeys[index].rawValue);
        const xkb_keysym_t *symbols = nullptr;
        if (keycode
            && xkb_keymap_key_get_syms_by_level(keymap, *keycode, layout, 0, &symbols) == 1) {
            typed[index] = xkb_keysym_to_utf32(symbols[0]);
        }
    }
    return hotkeys::isAsciiCapable(typed);
}

} // namespace

std::optional<uint32_t> xkbKeyCharacterLayout(xkb_keymap *keymap, uint32_t current)
{
    std::vector<bool> asciiCapable;
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts(keymap);
    for (xkb_layout_index_t layout = 0; layout < layouts; ++layout) {
        asciiCapable.push_back(isAsciiCapable(keymap, layout));
    }
    const auto chosen = hotkeys::keyCharacterLayout(asciiCapable, current);
    if (!chosen) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*chosen);
}

} // namespace zentrel
