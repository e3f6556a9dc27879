#include "drawing/rough_path_support.h"

#include <algorithm>
#include <cmath>

namespace zentrel::rough {

Bounds boundsOf(RectF rect)
{
    return {std::min(rect.x, rect.x + rect.width),
            std::min(rect.y, rect.y + rect.height),
            std::max(rect.x, rect.x + rect.width),
            std::max(rect.y, rect.y + rect.height)};
}

PointF midpoint(PointF a, PointF b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

bool allFinite(const std::vector<PointF> &points)
{
    return std::all_of(points.begin(), points.end(), [](PointF p) { return isFinite(p); });
}

bool isDrawableLength(double length)
{
    return length <= maxSegmentLength;
}

bool sidesAreDrawable(const std::vector<PointF> &points, bool closed)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!isDrawableLength(distance(points[i - 1], points[i]))) {
            return false;
        }
    }
    return !closed || points.empty() || isDrawableLength(distance(points.back(), points.front()));
}

int sidePieceCount(double length, std::size_t sides)
{
    const double share =
        std::max(piecesPerPass / static_cast<double>(std::max<std::size_t>(sides, 1)), 2.0);
    return static_cast<int>(std::clamp(std::ceil(length / 14), 2.0, std::floor(share)));
}

void appendEdgePoints(PointF from, PointF to, std::vector<PointF> &points)
{
    const int count =
        static_cast<int>(std::clamp(std::ceil(distance(from, to) / 14), 1.0, maxEdgePoints));
    for (int j = 0; j < count; ++j) {
        const double t = static_cast<double>(j) / count;
        points.push_back(lerp(from, to, t));
    }
}

void appendArcPoints(PointF centre, double radius, double startAngle, std::vector<PointF> &points)
{
    const int count =
        static_cast<int>(std::clamp(std::ceil(radius * pi / 2 / 8), 3.0, maxEdgePoints));
    for (int k = 0; k < count; ++k) {
        const double angle = startAngle + (static_cast<double>(k) / count) * halfPi;
        points.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
}

} // namespace zentrel::rough
