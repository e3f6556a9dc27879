#pragma once

class QWidget;

namespace zentrel {

// Puts an ordinary window of ours, about to be shown, in the middle of the active screen (the
// one under the pointer, else the primary one).
void centerOnActiveScreen(QWidget &window);

} // namespace zentrel
