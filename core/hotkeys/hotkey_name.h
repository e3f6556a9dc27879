#pragma once

#include "hotkeys/shortcut.h"

#include <optional>
#include <string>

namespace zentrel::hotkeys {

// The name of one global hot key; also the suffix of its settings key. Names compare by their
// raw value alone.
struct Name
{
    std::string rawValue;
    std::optional<Shortcut> defaultShortcut;

    std::string defaultsKey() const { return "Hotkeys_" + rawValue; }

    friend bool operator==(const Name &left, const Name &right)
    {
        return left.rawValue == right.rawValue;
    }
};

} // namespace zentrel::hotkeys
