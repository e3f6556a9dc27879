#pragma once

#include <optional>
#include <string>

namespace zentrel::hotkeys {

// The character a key types on the current keyboard layout, without modifiers (UTF-8), or
// none when it types nothing printable.
class KeyCharacterSource
{
public:
    virtual ~KeyCharacterSource() = default;
    virtual std::optional<std::string> keyCharacter(int carbonKeyCode) const = 0;
};

} // namespace zentrel::hotkeys
