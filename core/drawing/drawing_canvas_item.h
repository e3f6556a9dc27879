#pragma once

#include "drawing/drawing_stroke.h"
#include "drawing/numbered_marker.h"

#include <variant>
#include <vector>

namespace zentrel {

// The unit of history, undo, redo and erasing.
using DrawingCanvasItem = std::variant<DrawingStroke, NumberedMarker>;

// One more than the largest marker number among the items; 1 when there is no marker. Erased or
// undone markers are not in the list, so their numbers are free again.
int nextMarkerNumber(const std::vector<DrawingCanvasItem> &items);

} // namespace zentrel
