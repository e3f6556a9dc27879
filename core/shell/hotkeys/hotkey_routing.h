#pragma once

namespace zentrel {

namespace hotkeys {
class HotkeyRegistry;
}
class AppCoordinator;

// Declares the program's hot-key names and attaches the coordinator's handlers to them: feature
// keys act on press and release by their activation style, the break-timer key, the close key
// and the action keys on release.
void registerHotkeyHandlers(hotkeys::HotkeyRegistry &registry, AppCoordinator &coordinator);

} // namespace zentrel
