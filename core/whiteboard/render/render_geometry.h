#pragma once

#include "common/geometry.h"
#include "common/path.h"

#include <vector>

namespace zentrel {

// Smooth outlines and hatch lines shared by the element render plan. All rectangles are taken as
// normalised (non-negative extents).

Path rectangleOutline(RectF rect);
// Corners of radius `radius` (clamped to half the shorter side), drawn with cubic quarter arcs.
Path roundedRectangleOutline(RectF rect, double radius);
// The oval inscribed in `rect`, as four cubic quarter arcs.
Path ellipseOutline(RectF rect);
// Straight lines through `points`, closed.
Path polygonOutline(const std::vector<PointF> &points);
// Straight lines through `points`, open.
Path polylineOutline(const std::vector<PointF> &points);

// The midpoints of the frame's edges: top, right, bottom, left.
std::vector<PointF> diamondPoints(RectF rect);
// The shaft from `start` to `end`, then the head as one open subpath through the tip: barbs of
// length max(4 × lineWidth, 12) at π/7 either side of the shaft.
Path arrowOutline(PointF start, PointF end, double lineWidth);
// That head alone, pointing along start → end.
Path arrowHeadOutline(PointF start, PointF end, double lineWidth);

// The path up to where a second subpath starts: the first of the outlines it holds.
Path firstSubpath(const Path &path);

// The path as a list of closed polygons, curves split into short lines, so hatch lines can be
// clipped without a painter.
std::vector<std::vector<PointF>> flattenPath(const Path &path);

} // namespace zentrel
