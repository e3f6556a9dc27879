#pragma once

#include "common/geometry.h"

namespace zentrel {

// Scene rectangles may be stored with negative width or height (a line's direction). Every query
// of edges, size, centre, inset, union and containment below normalises first, so callers never
// see a signed rectangle unless they asked for the stored frame.

// Origin moved to the minimum corner, width and height made non-negative.
RectF normalizedRect(const RectF &rect);

double minX(const RectF &rect);
double minY(const RectF &rect);
double maxX(const RectF &rect);
double maxY(const RectF &rect);
PointF rectCenter(const RectF &rect);

// Shrinks by dx on the left and right and dy on the top and bottom; negative values grow. A
// rectangle inset past its centre collapses to zero size there, so it contains nothing.
RectF insetRect(const RectF &rect, double dx, double dy);

// The smallest rectangle holding both.
RectF unionRect(const RectF &a, const RectF &b);

// Minimum edges inclusive, maximum edges exclusive, after normalising.
bool rectContains(const RectF &rect, PointF point);

double distance(PointF a, PointF b);

// Distance from `point` to the segment a–b; a degenerate segment is its one point.
double distanceToSegment(PointF point, PointF a, PointF b);

} // namespace zentrel
