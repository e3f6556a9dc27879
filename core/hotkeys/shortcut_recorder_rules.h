#pragma once

#include "common/settings/modifier_flags.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/shortcut.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrel::hotkeys {

// A combination one of the program's hot keys uses, with the title the hot key goes by.
struct NamedShortcut
{
    std::string title;
    Shortcut shortcut;
    std::string rawName;
};

// What a shortcut recorder does with one key pressed while it records.
struct RecorderDecision
{
    enum class Kind {
        endAndPassOn,  // Tab: recording ends and the focus moves on
        end,           // Escape: recording ends, nothing stored
        clear,         // Delete: the stored combination goes, recording goes on
        needsModifier, // a key alone or with only Shift: say so, recording goes on
        hotkeyClash,   // the hot key `clashTitle` uses it already
        systemClash,   // another program holds it; stored only if the user insists
        store,
    };

    Kind kind = Kind::needsModifier;
    std::optional<Shortcut> shortcut;
    std::string clashTitle;

    friend bool operator==(const RecorderDecision &, const RecorderDecision &) = default;
};

// Decides on a key (Carbon key code) pressed with `flags` while the recorder for `name` records.
// A combination another of `takenShortcuts` uses clashes; the one `name` has is no clash. Only a
// function key needs no Control, Alt or Super (Shift is no modifier of its own here).
RecorderDecision decideRecordedKey(int carbonKeyCode,
                                   ModifierFlags flags,
                                   const std::string &rawName,
                                   const std::vector<NamedShortcut> &takenShortcuts,
                                   const std::function<bool(const Shortcut &)> &isHeldElsewhere);

} // namespace zentrel::hotkeys
