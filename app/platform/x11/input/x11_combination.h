#pragma once

#include "hotkeys/shortcut.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

// A key and the modifiers held with it, as the X server sees them.
struct X11Combination
{
    uint8_t keycode = 0;
    uint16_t modifiers = 0;

    friend auto operator<=>(const X11Combination &, const X11Combination &) = default;
};

// The X modifier bits a shortcut can hold: Control, Shift, Mod1 (Alt) and Mod4 (Super).
uint16_t shortcutModifierMask();

// The X keycode of the key at a Carbon key code's position, and the other way round for the
// keycodes key events carry (Qt's native scan codes). None for keys X has no keycode for.
std::optional<uint8_t> x11Keycode(int carbonKeyCode);
std::optional<int> carbonKeyCodeOfX11Keycode(uint32_t keycode);

// None for what X cannot grab: keys without a keycode, and anything held with Fn.
std::optional<X11Combination> x11Combination(const hotkeys::Shortcut &shortcut);

// Every subset of the lock bits, so a grab fires whichever lock keys are on.
std::vector<uint16_t> lockVariants(uint16_t lockMask);

} // namespace zentrel
