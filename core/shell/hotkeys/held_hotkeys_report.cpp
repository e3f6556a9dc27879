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

void storeTold(DefaultsStore &defaults,
               const std::vector<std::string> &told,
               const std::vector<std::string> &entries)
{
    if (entries == told) {
        return;
    }
    if (entries.empty()) {
        defaults.removeValue(toldKey);
    } else {
        defaults.setValue(toldKey, entries);
    }
}

} // namespace

std::optional<HeldHotkeysAlert> heldHotkeysAlert(const hotkeys::HotkeyRegistry &registry,
                                                 const hotkeys::KeyCharacterSource &layout,
                                                 DefaultsStore &defaults)
{
    const std::vector<std::string> told = toldEntries(defaults);
    std::vector<std::string> held;
    std::vector<std::string> toldAndHeld;
    std::string named;
    for (const HotkeyCommand &command : hotkeyCommands()) {
        const auto shortcut = registry.shortcut(command.name);
        if (!shortcut || !registry.isHeldElsewhere(command.name)) {
            continue;
        }
        held.push_back(command.name.rawValue + ' ' + shortcut->jsonText());
        if (std::find(told.begin(), told.end(), held.back()) != told.end()) {
            toldAndHeld.push_back(held.back());
        } else {
            named += (named.empty() ? "" : ", ") + hotkeyTitle(command.name) + " ("
                     + hotkeys::menuText(*shortcut, layout) + ")";
        }
    }
    // Forgetting what is free now is safe at once; what is new is remembered once seen.
    storeTold(defaults, told, toldAndHeld);
    if (named.empty()) {
        return std::nullopt;
    }
    return HeldHotkeysAlert{
        "These shortcuts are already used by another program, so they do nothing in Zentrel: "
            + named
            + ". Choose others in Settings > Hotkeys, or change them in the settings of the "
              "program that uses them.",
        held};
}

void rememberHeldHotkeysTold(const HeldHotkeysAlert &alert, DefaultsStore &defaults)
{
    storeTold(defaults, toldEntries(defaults), alert.held);
}

} // namespace zentrel
