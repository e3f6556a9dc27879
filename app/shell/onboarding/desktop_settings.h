#pragma once

namespace zentrel {

// Opens the desktop's own settings where the desktop is one we know; elsewhere does nothing.
// X11 has no privacy panes to point at, so every permission opens the same place.
void openDesktopSettings();

} // namespace zentrel
