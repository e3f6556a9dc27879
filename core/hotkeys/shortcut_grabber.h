#pragma once

#include "hotkeys/shortcut.h"

#include <tl/expected.hpp>

namespace zentrel::hotkeys {

// Makes one combination system-wide: once grabbed, its presses and releases reach the program
// whichever window has the focus. A refusal carries the system's status code.
class ShortcutGrabber
{
public:
    virtual ~ShortcutGrabber() = default;
    virtual tl::expected<void, int> grab(const Shortcut &shortcut) = 0;
    virtual void ungrab(const Shortcut &shortcut) = 0;
    // Whether another program holds the combination: a trial grab that is refused. Our own
    // grabs are not disturbed.
    virtual bool isHeldElsewhere(const Shortcut &shortcut) = 0;
};

} // namespace zentrel::hotkeys
