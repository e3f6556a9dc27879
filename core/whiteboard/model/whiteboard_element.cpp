#include "whiteboard/model/whiteboard_element.h"

#include "common/geometry.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// Ellipses and diamonds are forgiving near their outline, unlike rectangle-like kinds.
constexpr double ellipseHitLimit = 1.15;
constexpr double diamondHitLimit = 1.1;
// Excalidraw closes a line whose ends lie this close.
constexpr double closedLineReach = 8;

// The point turned back by the element's rotation about its centre.
PointF localPoint(const WhiteboardElement &element, PointF point)
{
    const PointF centre = element.rotationCentre();
    const double dx = point.x - centre.x;
    const double dy = point.y - centre.y;
    const double cosine = std::cos(element.rotation);
    const double sine = std::sin(element.rotation);
    return {centre.x + dx * cosine + dy * sine, centre.y - dx * sine + dy * cosine};
}

// The local point relative to the grown frame's centre, in half-extents; none when the grown
// frame has no area.
std::optional<PointF> unitOffset(const WhiteboardElement &element, PointF local, double tolerance)
{
    const RectF grown = insetRect(element.frame(), -tolerance, -tolerance);
    if (!(grown.width > 0) || !(grown.height > 0)) {
        return std::nullopt;
    }
    const PointF centre = rectCenter(grown);
    return PointF{(local.x - centre.x) / (grown.width * 0.5),
                  (local.y - centre.y) / (grown.height * 0.5)};
}

// Equal but for the rounding of a sum: a frame end is computed as origin + extent.
bool nearlyEqual(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

bool nearlySame(const WhiteboardPoint &a, PointF b)
{
    return nearlyEqual(a.x, b.x) && nearlyEqual(a.y, b.y);
}

bool hitsPolyline(const std::vector<PointF> &points, PointF local, double reach)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (distanceToSegment(local, points[i - 1], points[i]) <= reach) {
            return true;
        }
    }
    return false;
}

// Even-odd: the point lies inside when a ray from it crosses the closed outline an odd number
// of times.
bool insidePolygon(const std::vector<PointF> &corners, PointF point)
{
    bool inside = false;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const PointF a = corners[i];
        const PointF b = corners[j];
        if ((a.y > point.y) != (b.y > point.y)
            && point.x < a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
            inside = !inside;
        }
    }
    return inside;
}

bool hitsLine(const WhiteboardElement &line, PointF local, double tolerance)
{
    const double reach = tolerance + line.style.strokeWidth;
    if (line.points.size() < 2) {
        return distanceToSegment(
                   local, {line.x, line.y}, {line.x + line.width, line.y + line.height})
               <= reach;
    }
    const std::vector<PointF> path = line.linePoints();
    return hitsPolyline(path, local, reach) || (isClosedLine(line) && insidePolygon(path, local));
}

// The smallest rectangle holding every point of a non-empty list.
template <typename Point>
RectF boxOf(const std::vector<Point> &points)
{
    RectF box{points.front().x, points.front().y, 0, 0};
    for (const Point &point : points) {
        box = unionRect(box, {point.x, point.y, 0, 0});
    }
    return box;
}

} // namespace

std::vector<PointF> WhiteboardElement::scenePoints() const
{
    std::vector<PointF> result;
    result.reserve(points.size());
    for (const WhiteboardPoint &point : points) {
        result.push_back({point.x, point.y});
    }
    return result;
}

std::vector<PointF> WhiteboardElement::linePoints() const
{
    const PointF start{x, y};
    const PointF end{x + width, y + height};
    if (points.size() < 2) {
        return {start, end};
    }
    const WhiteboardPoint &first = points.front();
    const WhiteboardPoint &last = points.back();
    if (nearlySame(first, start) && nearlySame(last, end)) {
        return scenePoints();
    }
    // An edit set the ends alone (an arrow aimed at a moved shape): the path turns and scales
    // with them, as one rigid shape. A closed path has no direction of its own, so it only moves.
    const double fromX = last.x - first.x;
    const double fromY = last.y - first.y;
    const double length2 = fromX * fromX + fromY * fromY;
    // (turnX, turnY) is the quotient of the new end-to-end vector by the old one, as complex
    // numbers: a rotation and a scale in one.
    double turnX = 1;
    double turnY = 0;
    if (length2 > 0 && !(nearlyEqual(first.x, last.x) && nearlyEqual(first.y, last.y))) {
        const double toX = end.x - start.x;
        const double toY = end.y - start.y;
        turnX = (toX * fromX + toY * fromY) / length2;
        turnY = (toY * fromX - toX * fromY) / length2;
    }
    std::vector<PointF> path;
    path.reserve(points.size());
    for (const WhiteboardPoint &point : points) {
        const double dx = point.x - first.x;
        const double dy = point.y - first.y;
        path.push_back({start.x + dx * turnX - dy * turnY, start.y + dx * turnY + dy * turnX});
    }
    return path;
}

void WhiteboardElement::setFrame(const RectF &rect)
{
    x = rect.x;
    y = rect.y;
    width = rect.width;
    height = rect.height;
}

RectF WhiteboardElement::bounds() const
{
    if (isSegmentKind(kind) && points.size() >= 2) {
        return boxOf(linePoints());
    }
    if (kind != WhiteboardElementKind::freedraw || points.empty()) {
        return normalizedRect(frame());
    }
    return insetRect(boxOf(points), -style.strokeWidth, -style.strokeWidth);
}

PointF WhiteboardElement::rotationCentre() const
{
    return rectCenter(isSegmentKind(kind) ? bounds() : frame());
}

bool WhiteboardElement::hitTest(PointF point, double tolerance) const
{
    const PointF local = localPoint(*this, point);
    switch (kind) {
    case WhiteboardElementKind::rectangle:
    case WhiteboardElementKind::text:
    case WhiteboardElementKind::marker:
    case WhiteboardElementKind::unsupported:
        return rectContains(insetRect(frame(), -tolerance, -tolerance), local);
    case WhiteboardElementKind::ellipse: {
        const std::optional<PointF> unit = unitOffset(*this, local, tolerance);
        return unit && unit->x * unit->x + unit->y * unit->y <= ellipseHitLimit;
    }
    case WhiteboardElementKind::diamond: {
        const std::optional<PointF> unit = unitOffset(*this, local, tolerance);
        return unit && std::abs(unit->x) + std::abs(unit->y) <= diamondHitLimit;
    }
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        return hitsLine(*this, local, tolerance);
    case WhiteboardElementKind::freedraw: {
        const std::vector<PointF> path = scenePoints();
        if (path.empty()) {
            return false;
        }
        // A dot is hit only within the tolerance; its stroke width does not count.
        if (path.size() == 1) {
            return distance(local, path.front()) <= tolerance;
        }
        return hitsPolyline(path, local, tolerance + style.strokeWidth);
    }
    }
    return false;
}

void WhiteboardElement::translate(double dx, double dy)
{
    if (kind == WhiteboardElementKind::freedraw || isSegmentKind(kind)) {
        for (WhiteboardPoint &point : points) {
            point.x += dx;
            point.y += dy;
        }
    }
    if (kind == WhiteboardElementKind::freedraw) {
        return;
    }
    x += dx;
    y += dy;
}

void WhiteboardElement::resize(const RectF &from, const RectF &to)
{
    const RectF old = normalizedRect(from);
    // A flat source cannot be scaled from, so that axis only shifts.
    const double sx = old.width == 0 ? 1 : to.width / old.width;
    const double sy = old.height == 0 ? 1 : to.height / old.height;
    if (kind == WhiteboardElementKind::freedraw || isSegmentKind(kind)) {
        for (WhiteboardPoint &point : points) {
            point.x = to.x + sx * (point.x - old.x);
            point.y = to.y + sy * (point.y - old.y);
        }
    }
    if (kind == WhiteboardElementKind::freedraw) {
        return;
    }
    x = to.x + sx * (x - old.x);
    y = to.y + sy * (y - old.y);
    width = sx * width;
    height = sy * height;
}

Arrowheads arrowheadsOf(const WhiteboardElement &element)
{
    if (element.kind != WhiteboardElementKind::arrow) {
        return {};
    }
    return {element.startArrowhead.value_or(WhiteboardArrowhead::none),
            element.endArrowhead.value_or(WhiteboardArrowhead::arrow)};
}

bool isClosedLine(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::line && element.points.size() >= 3
           && std::hypot(element.points.back().x - element.points.front().x,
                         element.points.back().y - element.points.front().y)
                  <= closedLineReach;
}

} // namespace zentrel
