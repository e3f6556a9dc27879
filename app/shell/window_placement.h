#pragma once

#include "shell/window_fit.h"

class QPoint;
class QScreen;
class QWidget;

namespace zentrel {

// The window manager's frame around the window as it reports it now, with room for rounding at
// a fractional scale; none before the window is framed.
FrameMargins frameMarginsOf(const QWidget &window);

// Puts the window's frame's corner there, by the frame the window manager reports now.
void moveFrameTo(QWidget &window, QPoint frame);

// The screen under the pointer, else the primary one; none when there is no screen.
QScreen *activeScreen();

// Sizes and places an ordinary window of ours, about to be shown, whole on `screen` (fitWindow):
// at the size it has now, within its minimum size. Once the window manager has put its frame
// around the window, it is fitted again with that frame.
void fitOnScreen(QWidget &window, QScreen &screen, WindowPlace place);

// The same on the active screen, where there is one.
void fitOnActiveScreen(QWidget &window, WindowPlace place = WindowPlace::middle);

} // namespace zentrel
