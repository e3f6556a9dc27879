#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

// Returns once the compositing manager has drawn a frame and then nothing for a few frames, or
// after a short limit at most.
// A window that just closed or turned transparent leaves the screen only with the compositing
// manager's last frame of it, and some animate that for a while (mutter shrinks and fades a
// closing window); the Damage reports on the root, which hold every frame a compositing manager
// draws, tell when it is done. Returns at once where the server has no Damage extension.
void x11WaitUntilScreenSettles(xcb_connection_t *connection, std::uint32_t root);

} // namespace zentrel
