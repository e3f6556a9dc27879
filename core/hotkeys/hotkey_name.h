#pragma once

#include "hotkeys/shortcut.h"

#include <optional>
#include <string>
#include <string_view>

namespace zentrel::hotkeys {

// What every hot key's settings key starts with; the name's raw value follows.
inline constexpr std::string_view defaultsKeyPrefix = "Hotkeys_";

// The name of one global hot key; also the suffix of its settings key. Names compare by their
// raw value alone.
struct Name
{
    std::string rawValue;
    std::optional<Shortcut> defaultShortcut;

    std::string defaultsKey() const { return std::string(defaultsKeyPrefix) + rawValue; }

    friend bool operator==(const Name &left, const Name &right)
    {
        return left.rawValue == right.rawValue;
    }
};

} // namespace zentrel::hotkeys
