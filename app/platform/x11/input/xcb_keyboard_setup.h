#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

// The root window of the display's default screen, or 0 when there is none.
uint32_t defaultRootWindow(xcb_connection_t *connection);

// A held key then sends repeated presses and a single release, instead of release-press pairs.
void requestDetectableAutoRepeat(xcb_connection_t *connection);

// XKB notifications for new keymaps and layout switches on the core keyboard.
void selectKeyboardChanges(xcb_connection_t *connection);

} // namespace zentrel
