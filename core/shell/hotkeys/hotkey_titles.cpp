#include "shell/hotkeys/hotkey_titles.h"

#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"

#include <algorithm>

namespace zentrel {

std::string hotkeyTitle(const hotkeys::Name &name)
{
    // The close key is the one hot key that never follows the leader.
    if (name == hotkeyName("closeCurrentMode")) {
        return "Close the running feature";
    }
    for (const LeaderKeyBinding &row : LeaderKeyBinding::defaultBindings()) {
        if (row.name == name) {
            return row.label;
        }
    }
    return name.rawValue;
}

std::vector<hotkeys::NamedShortcut> hotkeyShortcuts(
    const std::function<std::optional<hotkeys::Shortcut>(const hotkeys::Name &)> &shortcutOf)
{
    std::vector<hotkeys::NamedShortcut> shortcuts;
    for (const HotkeyCommand &command : hotkeyCommands()) {
        if (const auto shortcut = shortcutOf(command.name)) {
            shortcuts.push_back(hotkeys::NamedShortcut{
                hotkeyTitle(command.name), *shortcut, command.name.rawValue});
        }
    }
    return shortcuts;
}

std::vector<SharedHotkey> sharedHotkeys(
    const std::function<std::optional<hotkeys::Shortcut>(const hotkeys::Name &)> &shortcutOf)
{
    const std::vector<hotkeys::NamedShortcut> shortcuts = hotkeyShortcuts(shortcutOf);
    std::vector<SharedHotkey> shared;
    for (auto later = shortcuts.begin(); later != shortcuts.end(); ++later) {
        const auto first = std::find_if(shortcuts.begin(), later, [&](const auto &earlier) {
            return earlier.shortcut == later->shortcut;
        });
        if (first != later) {
            shared.push_back(SharedHotkey{first->title, later->title, later->shortcut});
        }
    }
    return shared;
}

} // namespace zentrel
