#pragma once

#include "whiteboard/model/whiteboard_element.h"

#include <cstddef>
#include <vector>

namespace zentrel {

// A line, arrow or freehand stroke through far more points than the pixels it covers costs
// painting time and memory for nothing it shows: it is painted through the points a pixel can
// show at the scale it is drawn at, as line charts are, and smooth: a hand-drawn wobble between
// points closer than pixels only thickens it. Only painting thins; exports keep every point.

// Paths of more points than this are thinned for painting.
inline constexpr std::size_t thinnedPathThreshold = 2048;
// The most points a thinned path keeps, whatever its shape: one with more detail than that at
// its scale is thinned over coarser cells, which keep its outline and lose the detail.
inline constexpr std::size_t thinnedPathBudget = 4096;

// Whether the element is painted thinned, so its painting depends on the scale.
bool isThinnedForPainting(const WhiteboardElement &element);

// The scale the element's painting is prepared for at `viewportScale`: a placeholder's label
// keeps its size on screen, a thinned path is thinned for the next power of two up, so a zoom
// prepares it again only every doubling; any other element paints alike at every scale (0).
double elementPaintScale(const WhiteboardElement &element, double viewportScale);

// The points that show over square cells `cell` wide: of each run of points within one column
// of cells, its first, last, highest and lowest; of a run within one row, its first, last,
// leftmost and rightmost. The path through them stays within a cell's diagonal of the whole,
// both ways, and keeps the first and last point and every run's corners. Past `budget` points,
// the cells double until it fits; three points at least are kept where there were as many.
std::vector<WhiteboardPoint>
thinnedPoints(const std::vector<WhiteboardPoint> &points, double cell, std::size_t budget);

// The element as painted at `paintScale` (see elementPaintScale): a thinned path through the
// points half-pixel cells show, within a pixel of the whole; anything else unchanged.
WhiteboardElement thinnedForPainting(const WhiteboardElement &element, double paintScale);

} // namespace zentrel
