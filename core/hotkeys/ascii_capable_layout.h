#pragma once

#include "hotkeys/key.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace zentrel::hotkeys {

// Hot keys are named by what their keys type on a layout that writes Latin letters, whatever
// layout the user writes with: with a Russian layout active, Draw is still Ctrl+Alt+D.

// The letter keys A to Z by position: what they type tells a Latin layout apart.
inline constexpr std::array<Key, 26> letterKeys = {
    keys::a, keys::b, keys::c, keys::d, keys::e, keys::f, keys::g, keys::h, keys::i,
    keys::j, keys::k, keys::l, keys::m, keys::n, keys::o, keys::p, keys::q, keys::r,
    keys::s, keys::t, keys::u, keys::v, keys::w, keys::x, keys::y, keys::z};

// Whether a layout whose letter keys type `letterKeyCharacters` (one code point per key of
// letterKeys, unshifted, 0 where a key types nothing) is ASCII-capable: every one of them types
// a visible ASCII or Latin character. AZERTY's comma where QWERTY has M, or Turkish's dotless i,
// still count.
bool isAsciiCapable(const std::array<char32_t, letterKeys.size()> &letterKeyCharacters);

// The layout whose characters name keys, given which of a keymap's layouts are ASCII-capable:
// `current` when it is one, else the first that is; none when none is, and keys are named as on
// a US keyboard.
std::optional<std::size_t> keyCharacterLayout(const std::vector<bool> &asciiCapableLayouts,
                                              std::size_t current);

} // namespace zentrel::hotkeys
