#pragma once

#include "platform/key_grabber.h"

#include <memory>

namespace zentrel {

// Grabs combinations on the X root window and reads key characters from the XKB keymap.
class XcbKeyGrabber final : public KeyGrabber
{
    Q_OBJECT

public:
    // None when the X server lacks what the grabber needs (XKB).
    static std::unique_ptr<XcbKeyGrabber> create();
    ~XcbKeyGrabber() override;

    tl::expected<void, int> grab(const hotkeys::Shortcut &shortcut) override;
    void ungrab(const hotkeys::Shortcut &shortcut) override;
    bool isHeldElsewhere(const hotkeys::Shortcut &shortcut) override;
    std::optional<std::string> keyCharacter(int carbonKeyCode) const override;

private:
    struct State;
    explicit XcbKeyGrabber(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};

} // namespace zentrel
