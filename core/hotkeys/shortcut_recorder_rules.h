#pragma once

#include "common/modifier_flags.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/shortcut.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zentrel::hotkeys {

// A combination the program's menu shows beside one of its items, and the name it belongs to.
struct MenuShortcut
{
    std::string title;
    Shortcut shortcut;
    std::string rawName;
};

// What a shortcut recorder does with one key pressed while it records.
struct RecorderDecision
{
    enum class Kind {
        endAndPassOn, // Tab: recording ends and the focus moves on
        end,          // Escape: recording ends, nothing stored
        clear,        // Delete: the stored combination goes, recording goes on
        refuse,       // a key that needs a modifier: beep, recording goes on
        menuClash,    // the menu already shows it beside `menuTitle`
        systemClash,  // another program holds it; stored only if the user insists
        store,
    };

    Kind kind = Kind::refuse;
    std::optional<Shortcut> shortcut;
    std::string menuTitle;

    friend bool operator==(const RecorderDecision &, const RecorderDecision &) = default;
};

// Decides on a key (Carbon key code) pressed with `flags` while the recorder for `name` records.
// A combination the menu shows for another name clashes; one the menu shows for `name` itself is
// what it has already. F12 alone is never a clash with another program.
RecorderDecision decideRecordedKey(int carbonKeyCode,
                                   ModifierFlags flags,
                                   const std::string &rawName,
                                   const std::vector<MenuShortcut> &menuShortcuts,
                                   const std::function<bool(const Shortcut &)> &isHeldElsewhere);

// F1 and up: the keys that may be recorded without a modifier.
bool isFunctionKey(int carbonKeyCode);

} // namespace zentrel::hotkeys
