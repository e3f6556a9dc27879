#pragma once

#include "whiteboard/model/whiteboard_element.h"

#include <cstddef>
#include <vector>

namespace zentrel {

// A line, arrow or freehand stroke through far more points than the pixels it covers costs
// painting time and memory for nothing it shows: it is painted through fewer points, as many as
// the scale it is drawn at can show, and smooth: a hand-drawn wobble between points closer than
// pixels only thickens it. Only painting thins; exports keep every point.

// Paths of more points than this are thinned for painting.
inline constexpr std::size_t thinnedPathThreshold = 2048;
// The most points a thinned path keeps, whatever its shape: a path that zigzags within a few
// pixels paints as a band either way.
inline constexpr std::size_t thinnedPathBudget = 4096;

// Whether the element is painted thinned, so its painting depends on the scale.
bool isThinnedForPainting(const WhiteboardElement &element);

// The scale the element's painting is prepared for at `viewportScale`: a placeholder's label
// keeps its size on screen, a thinned path is thinned for the next power of two up, so a zoom
// prepares it again only every doubling; any other element paints alike at every scale (0).
double elementPaintScale(const WhiteboardElement &element, double viewportScale);

// Points no closer together than `tolerance` but the last, then at most `budget` of those spread
// evenly; the first and last are always kept, and three at least where there were as many.
std::vector<WhiteboardPoint>
thinnedPoints(const std::vector<WhiteboardPoint> &points, double tolerance, std::size_t budget);

// The element as painted at `paintScale` (see elementPaintScale): a thinned path's points a
// quarter of a pixel apart at the least; anything else unchanged.
WhiteboardElement thinnedForPainting(const WhiteboardElement &element, double paintScale);

} // namespace zentrel
