#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrel {

class DefaultsStore;

namespace hotkeys {
class HotkeyRegistry;
class KeyCharacterSource;
} // namespace hotkeys

// The alert about the program's hot keys another program holds.
struct HeldHotkeysAlert
{
    std::string text;
    // Every hot key held now, as remembered once the alert has been shown.
    std::vector<std::string> held;
};

// Which of the program's hot keys another program holds, told once: one alert that names each
// such hot key with its combination, none when every one of them was told at an earlier start.
// What was told is remembered in the settings by `rememberHeldHotkeysTold`, once the user has
// seen the alert; a combination that is free at some start is forgotten here, so it is told
// again should it be taken later.
std::optional<HeldHotkeysAlert> heldHotkeysAlert(const hotkeys::HotkeyRegistry &registry,
                                                 const hotkeys::KeyCharacterSource &layout,
                                                 DefaultsStore &defaults);

void rememberHeldHotkeysTold(const HeldHotkeysAlert &alert, DefaultsStore &defaults);

} // namespace zentrel
