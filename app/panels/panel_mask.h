#pragma once

#include <QRegion>
#include <QSize>

namespace zentrel {

// A panel's outline with rounded corners, as a window shape in the screen's own pixels, for a
// panel of `size` (logical pixels) on a screen of the given device pixel ratio: the screen
// pixels whose centres lie inside the rounded rectangle the backdrop fills. So the shape ends
// where the painting does, along the edges and at every scale, and its corners step one screen
// pixel at a time; a half-painted pixel at a fractional scale stays out.
QRegion roundedPanelMask(QSize size, qreal radius, qreal devicePixelRatio);

} // namespace zentrel
