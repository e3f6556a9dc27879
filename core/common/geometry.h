#pragma once

namespace zentrel {

struct PointF
{
    double x = 0;
    double y = 0;

    friend bool operator==(const PointF &, const PointF &) = default;
};

struct SizeF
{
    double width = 0;
    double height = 0;

    friend bool operator==(const SizeF &, const SizeF &) = default;
};

// Top-left origin, y growing downwards, as Qt lays out screens.
struct RectF
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    // Half-open on the far edges, so a point on the border between two adjacent screens
    // belongs to exactly one of them.
    bool contains(PointF point) const
    {
        return point.x >= x && point.x < x + width && point.y >= y && point.y < y + height;
    }

    friend bool operator==(const RectF &, const RectF &) = default;
};

// Rectangles may be stored with negative width or height (a whiteboard line's direction). Every
// query of edges, size, centre, inset, union and containment below treats a signed rectangle as
// its normalised one, so callers never see a signed rectangle unless they asked for the stored
// frame.

// Origin moved to the minimum corner, width and height made non-negative.
RectF normalizedRect(const RectF &rect);

// The normalised rectangle with corners `a` and `b`, as a drag from one to the other spans.
RectF rectBetween(PointF a, PointF b);

double minX(const RectF &rect);
double minY(const RectF &rect);
double maxX(const RectF &rect);
double maxY(const RectF &rect);
PointF rectCenter(const RectF &rect);

bool isFinite(PointF point);
bool isFinite(const RectF &rect);

// Shrinks by dx on the left and right and dy on the top and bottom; negative values grow. A
// rectangle inset past its centre collapses to zero size there, so it contains nothing.
RectF insetRect(const RectF &rect, double dx, double dy);

// Shrinks as insetRect does, but each axis on its own: an axis too short for its inset shrinks
// to zero at its centre, and the other keeps its inset extent.
RectF insetEachAxis(const RectF &rect, double dx, double dy);

// The smallest rectangle holding both.
RectF unionRect(const RectF &a, const RectF &b);

// Moves `start` so that [start, start + length) lies within [low, low + room); what cannot fit
// starts at low.
double movedInside(double start, double length, double low, double room);

// Moves `rect`, never resizing it, to lie within `bounds` as movedInside does on each axis.
RectF movedInside(const RectF &rect, const RectF &bounds);

// `rect` at another size, the spot of it at `held` staying there: it keeps its share of each
// side. Its corner in whole pixels.
RectF resizedAbout(const RectF &rect, PointF held, SizeF size);

// Minimum edges inclusive, maximum edges exclusive, after normalising.
bool rectContains(const RectF &rect, PointF point);

double distance(PointF a, PointF b);

// Distance from `point` to the segment a–b; a degenerate segment is its one point.
double distanceToSegment(PointF point, PointF a, PointF b);

// The point a fraction `t` of the way from `a` to `b`.
PointF lerp(PointF a, PointF b, double t);

} // namespace zentrel
