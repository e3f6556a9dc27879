#pragma once

#include "hotkeys/key.h"
#include "hotkeys/key_character_source.h"
#include "hotkeys/us_key_characters.h"

namespace zentrel {

// A US keyboard that can be switched to a German one, where Z and Y trade places.
class SwitchableKeyCharacters final : public hotkeys::KeyCharacterSource
{
public:
    std::optional<std::string> keyCharacter(int carbonKeyCode) const override
    {
        if (isGerman && carbonKeyCode == hotkeys::keys::z.rawValue) {
            return "y";
        }
        if (isGerman && carbonKeyCode == hotkeys::keys::y.rawValue) {
            return "z";
        }
        return m_us.keyCharacter(carbonKeyCode);
    }

    bool isGerman = false;

private:
    hotkeys::UsKeyCharacters m_us;
};

} // namespace zentrel
