#pragma once

#include <memory>

namespace zentrel {

class KeyGrabber;

// The one place that picks the desktop's implementations: X11 ones in an X11 session,
// "unsupported" ones that report through the program's own error texts elsewhere.
std::unique_ptr<KeyGrabber> makeKeyGrabber();

} // namespace zentrel
