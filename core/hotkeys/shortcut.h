#pragma once

#include "common/settings/modifier_flags.h"
#include "hotkeys/key.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel::hotkeys {

// Carbon modifier bits: the five modifiers a shortcut can hold.
namespace carbon {
inline constexpr int command = 0x100;
inline constexpr int shift = 0x200;
inline constexpr int option = 0x800;
inline constexpr int control = 0x1000;
inline constexpr int function = 0x20000;
} // namespace carbon

int carbonModifiers(ModifierFlags flags);
ModifierFlags modifierFlags(int carbonModifiers);

// F1 to F20: keys no program types with, so they may be hot keys alone (a presenter's remote
// clicker sends them).
bool isFunctionKey(Key key);

// One key combination as stored: a Carbon key code and Carbon modifier bits.
struct Shortcut
{
    int carbonKeyCode = 0;
    int carbonModifiers = 0;

    // Any flag beyond the five (Caps Lock among them) is dropped.
    static Shortcut fromKey(Key key, ModifierFlags flags);
    // Bits beyond the five Carbon modifier bits are dropped. Brace initialisation, as reading the
    // stored JSON does, keeps the bits as given.
    static Shortcut fromFields(int carbonKeyCode, int carbonModifiers);

    ModifierFlags modifiers() const { return modifierFlags(carbonModifiers); }

    Key key() const { return Key{carbonKeyCode}; }

    // Only combinations held with a modifier, and function keys, are grabbed system-wide: any
    // other bare key grabbed would be taken from every other program (bare Escape above all).
    // The running feature's own key handling serves those.
    bool isGrabbable() const { return carbonModifiers != 0 || isFunctionKey(key()); }

    // The stored form: compact JSON with "carbonKeyCode" and "carbonModifiers".
    std::string jsonText() const;
    static std::optional<Shortcut> fromJsonText(std::string_view text);

    friend bool operator==(const Shortcut &, const Shortcut &) = default;
    friend auto operator<=>(const Shortcut &, const Shortcut &) = default;
};

} // namespace zentrel::hotkeys
