#pragma once

#include "common/geometry.h"

namespace zentrel {

// What a window manager puts around a window: its title bar and borders.
struct FrameMargins
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    friend bool operator==(const FrameMargins &, const FrameMargins &) = default;
};

// Where an ordinary window of ours opens in the usable area of its screen.
enum class WindowPlace {
    // "Sessions", the settings, the welcome window and the alerts (centeredWindowFrame).
    middle,
    // The window shown in place of a tray icon, as a launcher sits (cornerWindowFrame).
    corner,
};

struct WindowSizes
{
    // The size the window asks for.
    SizeF preferred;
    SizeF minimum;
};

struct WindowFit
{
    // The window with the window manager's frame around it.
    RectF frame;
    // The window's own size, inside that frame.
    SizeF size;
    // The least the window may be resized to: its own minimum, or less on a screen smaller still.
    SizeF minimum;

    friend bool operator==(const WindowFit &, const WindowFit &) = default;
};

// An ordinary window of ours opens whole on its screen: at its preferred size, shrunk, frame
// included, to the usable area of the screen (`area`, the screen less the desktop's panels), but
// not below its minimum size unless the screen itself is smaller; in whole pixels, placed in that
// area. One kept larger than the area by its minimum size lies over the panels, inside the screen.
WindowFit fitWindow(const RectF &area,
                    const RectF &screen,
                    const WindowSizes &sizes,
                    const FrameMargins &margins,
                    WindowPlace place);

// A window dragged onto another screen fits it as if opened there at `sizes`, shrunk as fitWindow
// shrinks it, and stays where it was dropped, as a dropped card does (resizedAbout): the spot
// under the pointer, or else its frame's corner, stays in place as far as the whole frame allows.
// `dropped` is its frame where the drag left it.
WindowFit droppedWindowFit(const RectF &area,
                           const RectF &screen,
                           const WindowSizes &sizes,
                           const FrameMargins &margins,
                           const RectF &dropped,
                           PointF pointer);

} // namespace zentrel
