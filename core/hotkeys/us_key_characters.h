#pragma once

#include "hotkeys/key_character_source.h"

namespace zentrel::hotkeys {

// The characters of a US keyboard: what keys type where no layout can be asked.
class UsKeyCharacters final : public KeyCharacterSource
{
public:
    std::optional<std::string> keyCharacter(int carbonKeyCode) const override;
};

} // namespace zentrel::hotkeys
