#include "shell/hotkeys/held_hotkeys_report.h"

#include "common/settings/defaults_store.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/shortcut_text.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/hotkey_titles.h"

#include <algorithm>
#include <vector>

namespace zentrel {
namespace {

// Each told hot key as "<raw name> <stored combination>".
constexpr const char *toldKey = "hotkeys.toldHeldElsewhere";

std::vector<std::string> toldEntries(const DefaultsStore &defaults)
{
    std::vector<std::string> entries;
    const auto stored = defaults.storedValue(toldKey);
    if (stored && stored->is_array()) {
        for (const nlohmann::json &entry : *stored) {
            if (entry.is_string()) {
                entries.push_back(entry.get<std::string>());
            }
        }
    }
    return entries;
}

} // namespace

std::optional<std::string> heldHotkeysAlertText(const hotkeys::HotkeyRegistry &registry,
                                                const hotkeys::KeyCharacterSource &layout,
                                                DefaultsStore &defaults)
{
    const std::vector<std::string> told = toldEntries(defaults);
    std::vector<std::string> held;
    std::string named;
    for (const HotkeyCommand &command : hotkeyCommands()) {
        const auto shortcut = registry.shortcut(command.name);
        if (!shortcut || !registry.isHeldElsewhere(command.name)) {
            continue;
        }
        held.push_back(command.name.rawValue + ' ' + shortcut->jsonText());
        if (std::find(told.begin(), told.end(), held.back()) == told.end()) {
            named += (named.empty() ? "" : ", ") + hotkeyTitle(command.name) + " ("
                     + hotkeys::menuText(*shortcut, layout) + ")";
        }
    }
    if (held != told) {
        if (held.empty()) {
            defaults.removeValue(toldKey);
        } else {
            defaults.setValue(toldKey, held);
        }
    }
    if (named.empty()) {
        return std::nullopt;
    }
    return "These shortcuts are already used by another program, so they do nothing in Zentrel: "
           + named
           + ". Choose others in Settings > Hotkeys, or change them in the settings of the "
             "program that uses them.";
}

} // namespace zentrel
