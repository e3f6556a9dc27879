#pragma once

#include <string>
#include <string_view>

namespace zentrel {

// The XDG autostart entry that starts Zentrel at login: a desktop entry that runs `executable`.
std::string autostartEntryText(const std::string &executable);

// Whether an autostart entry starts its program: it must be a desktop entry, and not one the
// desktop's own settings have switched off (Hidden, X-GNOME-Autostart-enabled).
bool isActiveAutostartEntry(std::string_view text);

// One argument of an Exec line: quoted where the desktop-entry rules reserve a character.
std::string desktopExecArgument(const std::string &argument);

} // namespace zentrel
