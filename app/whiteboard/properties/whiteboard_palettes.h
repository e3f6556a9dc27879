#pragma once

#include "whiteboard/toolbar/whiteboard_color_swatch.h"

#include <vector>

namespace zentrel {

// The property panel's palettes, in the order they are shown. Names are unique within each.

// Black and four strong colours for strokes and text.
std::vector<WhiteboardColorSwatch> whiteboardStrokeColors();
// Four light tints for fills.
std::vector<WhiteboardColorSwatch> whiteboardFillColors();
// The fourteen colours of the extra-colour grids.
std::vector<WhiteboardColorSwatch> whiteboardCustomColors();

} // namespace zentrel
