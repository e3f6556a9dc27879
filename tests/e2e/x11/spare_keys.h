#pragma once

#include <QString>

namespace zentrel {

// Binds each character of `text` the display's keymap lacks to a key of its own that types
// nothing yet, and leaves it there. Typed through one spare key rebound for each character, as
// xdotool does, a character is lost when the window reads the keymap after the next rebinding.
// False when the display cannot be reached or has too few spare keys.
bool bindToSpareKeys(const QString &display, const QString &text);

} // namespace zentrel
