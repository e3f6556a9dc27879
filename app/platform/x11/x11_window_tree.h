#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

// Returns once the server has handled every request sent before on the connection, with the
// events they caused queued.
void x11RoundTrip(xcb_connection_t *connection);

// XCB_NONE when the server cannot make the atom.
std::uint32_t x11Atom(xcb_connection_t *connection, const std::string &name);

bool x11CompositingManagerRuns(xcb_connection_t *connection, int screenNumber);

// The window a running window manager names on the root (_NET_SUPPORTING_WM_CHECK); XCB_NONE
// when none runs.
std::uint32_t x11WindowManagerCheckWindow(xcb_connection_t *connection, std::uint32_t root);

// Whether the window manager composites the screen itself (mutter, KWin) rather than leaving it
// to a separate compositing manager (xcompmgr).
bool x11WindowManagerComposites(xcb_connection_t *connection, std::uint32_t root, int screenNumber);

// The window and its ancestors below the root, the root's child that holds it last (the window
// itself without a window manager); empty when the window no longer exists. A round trip a level.
std::vector<std::uint32_t>
x11PathToRoot(xcb_connection_t *connection, std::uint32_t root, std::uint32_t window);

// The root's children that hold the given windows (the windows themselves without a window
// manager); windows that no longer exist are skipped.
std::vector<std::uint32_t> x11TopLevelsOf(xcb_connection_t *connection,
                                          std::uint32_t root,
                                          const std::vector<std::uint32_t> &windows);

} // namespace zentrel
