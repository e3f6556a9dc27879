#pragma once

#include "hotkeys/hotkey_name.h"
#include "hotkeys/shortcut.h"
#include "hotkeys/shortcut_recorder_rules.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// What the program calls one of its hot keys in what it shows: its leader-key label (a feature
// key's is the tray menu's title), or a title of its own for the close key.
std::string hotkeyTitle(const hotkeys::Name &name);

// Every one of the program's hot keys that stores a combination, with its title: what a
// recorder must not give another hot key. `shortcutOf` gives a name's stored combination.
std::vector<hotkeys::NamedShortcut> hotkeyShortcuts(
    const std::function<std::optional<hotkeys::Shortcut>(const hotkeys::Name &)> &shortcutOf);

// One combination two of the program's hot keys store (a leader with Shift makes four such
// pairs): a press runs only `first`, the one declared earlier.
struct SharedHotkey
{
    std::string firstTitle;
    std::string secondTitle;
    hotkeys::Shortcut shortcut;

    friend bool operator==(const SharedHotkey &, const SharedHotkey &) = default;
};

// In the order of the second hot key of each pair.
std::vector<SharedHotkey> sharedHotkeys(
    const std::function<std::optional<hotkeys::Shortcut>(const hotkeys::Name &)> &shortcutOf);

} // namespace zentrel
