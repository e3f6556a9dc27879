#pragma once

#include <optional>
#include <string>

namespace zentrel {

class DefaultsStore;

namespace hotkeys {
class HotkeyRegistry;
class KeyCharacterSource;
} // namespace hotkeys

// Which of the program's hot keys another program holds, told once: the text of one alert that
// names each such hot key with its combination, none when every one of them was told at an
// earlier start. What was told is remembered in the settings; a combination that was free at
// some start is told again should it be taken later.
std::optional<std::string> heldHotkeysAlertText(const hotkeys::HotkeyRegistry &registry,
                                                const hotkeys::KeyCharacterSource &layout,
                                                DefaultsStore &defaults);

} // namespace zentrel
