#include "shell/hotkeys/hotkey_titles.h"

#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/leader_key_binding.h"

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

} // namespace zentrel
