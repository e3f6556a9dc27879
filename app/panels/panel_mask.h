#pragma once

#include <QRegion>
#include <QSize>

namespace zentrel {

// A panel's outline with rounded corners, as a window mask in logical pixels, for a screen of
// the given device pixel ratio. Qt scales each band of a mask to the screen's pixels on its own,
// rounding its edges, so at a fractional ratio two neighbouring bands could part and leave a
// clear line across the panel: the bands start and end on rows that are whole screen pixels
// too, and where no such rows lie near, the corners stay square.
QRegion roundedPanelMask(QSize size, qreal radius, qreal devicePixelRatio);

} // namespace zentrel
