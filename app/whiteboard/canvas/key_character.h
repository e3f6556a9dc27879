#pragma once

#include <optional>

namespace zentrel {

// The character a Qt key code stands for before Shift changes it: letters lower-case, and the
// shifted symbols of a US keyboard ("}" "{" "_" ")") turned back into their keys ("]" "[" "-"
// "0"), so shortcuts with Shift are matched by key rather than by the character Shift makes.
std::optional<char> unshiftedKeyCharacter(int qtKey);

} // namespace zentrel
