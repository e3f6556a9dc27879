#pragma once

class QScreen;
class QWidget;

namespace zentrel {

// The screen under the pointer, else the primary one; none when there is no screen.
QScreen *activeScreen();

// Puts an ordinary window of ours, about to be shown, on the active screen and in the middle of
// its usable area.
void centerOnActiveScreen(QWidget &window);

// Puts the window on `screen`, in the bottom-right corner of its usable area. Its frame counts
// once the window manager has put one around it.
void placeInCorner(QWidget &window, QScreen &screen);

} // namespace zentrel
