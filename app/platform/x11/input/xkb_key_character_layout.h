#pragma once

#include <cstdint>
#include <optional>

struct xkb_keymap;

namespace zentrel {

// The layout of `keymap` whose characters name keys while layout `current` is active: the
// current one where it writes Latin letters, else the keymap's first that does; none when no
// layout does.
std::optional<uint32_t> xkbKeyCharacterLayout(xkb_keymap *keymap, uint32_t current);

} // namespace zentrel
