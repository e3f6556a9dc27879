#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>
#include <optional>

namespace zentrel {

// Adds the states that keep a window of ours out of the taskbar, the pager and the window
// switcher. Call before the window is first shown: Qt keeps states already set when it maps.
void x11KeepOutOfTaskLists(std::uint32_t window);

// Gives the window the keyboard and raises it: through the window manager, asking as a pager
// does (which no focus-stealing guard refuses), or directly where none runs.
void x11ActivateOwnWindow(std::uint32_t window);

// The window that has the keyboard, where no window manager runs and a window has it; nothing
// where the keyboard follows the pointer.
std::optional<std::uint32_t> x11KeyboardHolderWithoutWindowManager();

// Gives the keyboard to the window if it went to the root or to no window, and the window is
// still shown.
void x11GiveKeyboardBack(std::uint32_t window);

// The window manager's active window on the window's screen; nothing where none runs or none
// is active.
std::optional<std::uint32_t> x11ActiveWindowOnScreenOf(std::uint32_t window);

// Asks the window manager to stack the window, shown, just below the sibling.
void x11StackBelow(std::uint32_t window, std::uint32_t sibling);

// Has the window, once full screen, cover the monitor at `monitor` (root pixels), to the pixel,
// and no other: placed there, and told to the window manager before it is mapped through its
// _NET_WM_FULLSCREEN_MONITORS, afterwards by asking. Nothing is told where the server numbers no
// monitors (no Xinerama).
void x11KeepFullScreenOn(std::uint32_t window, const QRect &monitor);

// Cuts the window to `pixels` (X Shape, bounding and so input too), relative to its origin; an
// empty region gives it its whole rectangle back. Nothing where the server has no Shape.
void x11ShapeWindow(std::uint32_t window, const QRegion &pixels);

} // namespace zentrel
