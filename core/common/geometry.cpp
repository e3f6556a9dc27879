#include "common/geometry.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

RectF normalizedRect(const RectF &rect)
{
    RectF result = rect;
    if (result.width < 0) {
        result.x += result.width;
        result.width = -result.width;
    }
    if (result.height < 0) {
        result.y += result.height;
        result.height = -result.height;
    }
    return result;
}

RectF rectBetween(PointF a, PointF b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
}

double minX(const RectF &rect)
{
    return normalizedRect(rect).x;
}

double minY(const RectF &rect)
{
    return normalizedRect(rect).y;
}

double maxX(const RectF &rect)
{
    const RectF normal = normalizedRect(rect);
    return normal.x + normal.width;
}

double maxY(const RectF &rect)
{
    const RectF normal = normalizedRect(rect);
    return normal.y + normal.height;
}

// A signed rectangle has the same centre as its normalised one.
PointF rectCenter(const RectF &rect)
{
    return {rect.x + rect.width / 2, rect.y + rect.height / 2};
}

bool isFinite(PointF point)
{
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool isFinite(const RectF &rect)
{
    return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width)
           && std::isfinite(rect.height);
}

RectF insetRect(const RectF &rect, double dx, double dy)
{
    const RectF normal = normalizedRect(rect);
    const PointF centre = rectCenter(normal);
    RectF result{normal.x + dx, normal.y + dy, normal.width - 2 * dx, normal.height - 2 * dy};
    if (result.width < 0 || result.height < 0) {
        return {centre.x, centre.y, 0, 0};
    }
    return result;
}

RectF insetEachAxis(const RectF &rect, double dx, double dy)
{
    const RectF normal = normalizedRect(rect);
    const PointF centre = rectCenter(normal);
    const double width = std::max(normal.width - 2 * dx, 0.0);
    const double height = std::max(normal.height - 2 * dy, 0.0);
    return {centre.x - width / 2, centre.y - height / 2, width, height};
}

RectF unionRect(const RectF &a, const RectF &b)
{
    const double left = std::min(minX(a), minX(b));
    const double top = std::min(minY(a), minY(b));
    const double right = std::max(maxX(a), maxX(b));
    const double bottom = std::max(maxY(a), maxY(b));
    return {left, top, right - left, bottom - top};
}

double movedInside(double start, double length, double low, double room)
{
    return std::max(low, std::min(start, low + room - length));
}

RectF movedInside(const RectF &rect, const RectF &bounds)
{
    return {movedInside(rect.x, rect.width, bounds.x, bounds.width),
            movedInside(rect.y, rect.height, bounds.y, bounds.height),
            rect.width,
            rect.height};
}

RectF resizedAbout(const RectF &rect, PointF held, SizeF size)
{
    const auto start = [](double spot, double oldStart, double oldLength, double length) {
        const double share = oldLength > 0 ? (spot - oldStart) / oldLength : 0;
        return std::floor(spot - share * length);
    };
    return {start(held.x, rect.x, rect.width, size.width),
            start(held.y, rect.y, rect.height, size.height),
            size.width,
            size.height};
}

bool rectContains(const RectF &rect, PointF point)
{
    return normalizedRect(rect).contains(point);
}

double distance(PointF a, PointF b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

double distanceToSegment(PointF point, PointF a, PointF b)
{
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double lengthSquared = ex * ex + ey * ey;
    if (!(lengthSquared > 0)) {
        return distance(point, a);
    }
    const double t =
        std::clamp(((point.x - a.x) * ex + (point.y - a.y) * ey) / lengthSquared, 0.0, 1.0);
    return distance(point, {a.x + t * ex, a.y + t * ey});
}

PointF lerp(PointF a, PointF b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

} // namespace zentrel
