#pragma once

#include "common/settings/modifier_flags.h"
#include "hotkeys/key_character_source.h"
#include "hotkeys/shortcut.h"

#include <optional>
#include <string>

namespace zentrel::hotkeys {

// The modifier symbols in the fixed order control, option, shift, command, function
// (⌃⌥⇧⌘🌐︎).
std::string modifierSymbols(ModifierFlags flags);

// The symbol of a key that types no character of its own (↩, ⎋, F5, 1⃣ …), or none.
std::optional<std::string> specialKeySymbol(int carbonKeyCode);

// "⌃⌥D": modifier symbols then the key, its character capitalised, U+FFFD when it has none.
std::string description(const Shortcut &shortcut, const KeyCharacterSource &layout);

// "Ctrl+Alt+D": the combination in the words Linux desktops use in menus.
std::string menuText(const Shortcut &shortcut, const KeyCharacterSource &layout);

} // namespace zentrel::hotkeys
