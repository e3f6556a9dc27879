#pragma once

#include "hotkeys/us_key_characters.h"
#include "platform/key_grabber.h"

namespace zentrel {

// Where the desktop offers no way to grab keys system-wide (not an X11 session): every grab is
// refused, and key texts follow a US keyboard.
class UnsupportedKeyGrabber final : public KeyGrabber
{
    Q_OBJECT

public:
    using KeyGrabber::KeyGrabber;

    tl::expected<void, int> grab(const hotkeys::Shortcut &shortcut) override;
    void ungrab(const hotkeys::Shortcut &shortcut) override;
    bool isHeldElsewhere(const hotkeys::Shortcut &shortcut) override;
    std::optional<std::string> keyCharacter(int carbonKeyCode) const override;

private:
    hotkeys::UsKeyCharacters m_usLayout;
};

} // namespace zentrel
