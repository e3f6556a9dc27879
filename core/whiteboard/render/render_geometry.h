#pragma once

#include "common/geometry.h"
#include "common/path.h"

#include <optional>
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

// The path as a list of closed polygons, curves split into short lines, so hatch lines can be
// clipped without a painter.
std::vector<std::vector<PointF>> flattenPath(const Path &path);

// A hatch fill: 45° lines clipped to the inside of a closed outline (even-odd). The lines lie
// 8 points apart (along x) on a lattice that starts at the area's top left corner.
struct HatchFill
{
    std::vector<std::vector<PointF>> outline; // as flattenPath gives it
    RectF area;                               // what the lines span, normalised
    bool crossed = false; // lines from top-left to bottom-right too, not only rising ones

    friend bool operator==(const HatchFill &, const HatchFill &) = default;
};

// The most lines of one direction a hatch is drawn with in one go. A window that more would
// cross shows every second one, as often as needed: so a hatch costs the same at any size and
// any zoom, and its lines stay where they were (a subset of them) as the window changes.
inline constexpr double hatchLineBudget = 2048;

// The fill of `outline` with lines across `area` grown by 12 points.
HatchFill hatchFill(const Path &outline, RectF area, bool crossed);

// The lines of the hatch that cross `window` (all of them when none is given), cut to it, each
// kept piece a moveTo/lineTo pair: rising lines (bottom-left to top-right) first, then the
// crossing set.
Path hatchLines(const HatchFill &fill, const std::optional<RectF> &window = std::nullopt);

// Whether the hatch drawn whole leaves out lines that a smaller window shows.
bool isHatchThinned(const HatchFill &fill);

} // namespace zentrel
