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

} // namespace zentrel
