#pragma once

#include <optional>

namespace zentrel::hotkeys {

// The Linux input (evdev) code of the key at a Carbon key code's position; an X keycode is this
// code plus 8. Keys with no counterpart (Fn) have none.
std::optional<int> evdevCode(int carbonKeyCode);

// The other way round, for keys seen in key events.
std::optional<int> carbonKeyCode(int evdevCode);

} // namespace zentrel::hotkeys
