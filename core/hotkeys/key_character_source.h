#pragma once

#include <optional>
#include <string>

namespace zentrel::hotkeys {

// The character a key types without modifiers (UTF-8) on the current keyboard layout, or on a
// Latin one when the current layout writes another script; none when it types nothing printable.
class KeyCharacterSource
{
public:
    virtual ~KeyCharacterSource() = default;
    virtual std::optional<std::string> keyCharacter(int carbonKeyCode) const = 0;
};

} // namespace zentrel::hotkeys
