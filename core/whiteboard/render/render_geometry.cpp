#include "whiteboard/render/render_geometry.h"

#include "common/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zentrel {

namespace {

// A cubic arc of this control length follows a quarter circle within 0.03 %.
constexpr double kappa = 0.5522847498307936;
constexpr int curveSteps = 16;
constexpr double hatchGap = 8;
constexpr double hatchMargin = 12;
// A piece this small a share of its line is a line touching a corner of the outline, kept or not
// by rounding alone, which would differ once the shape moved.
constexpr double cornerTouch = 1e-9;
constexpr double arrowHeadAngle = 0.4487989505128276; // π / 7

// Where the segment a→b crosses the inside of the polygons, as parameters along a→b.
std::vector<double> crossings(const std::vector<std::vector<PointF>> &polygons, PointF a, PointF b)
{
    std::vector<double> result;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const auto side = [&](PointF p) {
        return (p.x - a.x) * dy - (p.y - a.y) * dx;
    };
    for (const auto &polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const PointF p = polygon[i];
            const PointF q = polygon[(i + 1) % polygon.size()];
            const double sp = side(p);
            const double sq = side(q);
            // Half-open test: a vertex on the line counts for exactly one of its two edges.
            if ((sp > 0) == (sq > 0)) {
                continue;
            }
            const PointF hit = lerp(p, q, sp / (sp - sq));
            const double length2 = dx * dx + dy * dy;
            result.push_back(((hit.x - a.x) * dx + (hit.y - a.y) * dy) / length2);
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

// The part of `a` inside `b`, none where they do not meet.
std::optional<RectF> overlap(const RectF &a, const RectF &b)
{
    const RectF n = normalizedRect(b);
    const double left = std::max(a.x, n.x);
    const double top = std::max(a.y, n.y);
    const double right = std::min(a.x + a.width, n.x + n.width);
    const double bottom = std::min(a.y + a.height, n.y + n.height);
    if (!(left <= right && top <= bottom)) {
        return std::nullopt;
    }
    return RectF{left, top, right - left, bottom - top};
}

// The gap between the lines drawn across a stretch of `extent` lattice units: the lattice's own,
// doubled as often as it takes to keep within the budget.
double lineSpacing(double extent)
{
    double gap = hatchGap;
    while (extent / gap > hatchLineBudget) {
        gap *= 2;
    }
    return gap;
}

// The lattice lines of one direction that cross `box`, cut to it and to the outline. A rising
// line is x + y = c, a falling one x − y = c; both sets start at the area's top left corner.
void appendHatchSet(const HatchFill &fill, const RectF &r, bool rising, Path &lines)
{
    const RectF &a = fill.area;
    const double origin = rising ? a.x + a.y : a.x - a.y - a.height;
    const double low = rising ? r.x + r.y : r.x - (r.y + r.height);
    const double high = rising ? r.x + r.width + r.y + r.height : r.x + r.width - r.y;
    const double gap = lineSpacing(high - low);
    const auto first = static_cast<std::int64_t>(std::ceil((low - origin) / gap));
    const auto last = static_cast<std::int64_t>(std::floor((high - origin) / gap));
    for (std::int64_t k = first; k <= last; ++k) {
        const double c = origin + gap * static_cast<double>(k);
        // Where the line runs inside the box, by x: y = c − x rising, y = x − c falling.
        const double from = rising ? std::max(r.x, c - (r.y + r.height)) : std::max(r.x, c + r.y);
        const double to =
            rising ? std::min(r.x + r.width, c - r.y) : std::min(r.x + r.width, c + r.y + r.height);
        if (!(from < to)) {
            continue;
        }
        const PointF start{from, rising ? c - from : from - c};
        const PointF end{to, rising ? c - to : to - c};
        const std::vector<double> hits = crossings(fill.outline, start, end);
        for (std::size_t i = 0; i + 1 < hits.size(); i += 2) {
            const double s0 = std::clamp(hits[i], 0.0, 1.0);
            const double s1 = std::clamp(hits[i + 1], 0.0, 1.0);
            if (s1 - s0 > cornerTouch) {
                lines.moveTo(lerp(start, end, s0));
                lines.lineTo(lerp(start, end, s1));
            }
        }
    }
}

} // namespace

Path rectangleOutline(RectF rect)
{
    const RectF r = normalizedRect(rect);
    Path path;
    path.moveTo({r.x, r.y});
    path.lineTo({r.x + r.width, r.y});
    path.lineTo({r.x + r.width, r.y + r.height});
    path.lineTo({r.x, r.y + r.height});
    path.closeSubpath();
    return path;
}

Path roundedRectangleOutline(RectF rect, double radius)
{
    const RectF r = normalizedRect(rect);
    const double rad = std::clamp(radius, 0.0, std::min(r.width, r.height) / 2);
    const double k = rad * (1 - kappa);
    const double left = r.x;
    const double top = r.y;
    const double right = r.x + r.width;
    const double bottom = r.y + r.height;
    Path path;
    path.moveTo({left + rad, top});
    path.lineTo({right - rad, top});
    path.cubicTo({right - k, top}, {right, top + k}, {right, top + rad});
    path.lineTo({right, bottom - rad});
    path.cubicTo({right, bottom - k}, {right - k, bottom}, {right - rad, bottom});
    path.lineTo({left + rad, bottom});
    path.cubicTo({left + k, bottom}, {left, bottom - k}, {left, bottom - rad});
    path.lineTo({left, top + rad});
    path.cubicTo({left, top + k}, {left + k, top}, {left + rad, top});
    path.closeSubpath();
    return path;
}

Path ellipseOutline(RectF rect)
{
    Path path;
    path.addEllipse(normalizedRect(rect));
    return path;
}

Path polygonOutline(const std::vector<PointF> &points)
{
    Path path = polylineOutline(points);
    if (!path.isEmpty()) {
        path.closeSubpath();
    }
    return path;
}

std::vector<PointF> diamondPoints(RectF r)
{
    const double midX = r.x + r.width / 2;
    const double midY = r.y + r.height / 2;
    return {{midX, r.y}, {r.x + r.width, midY}, {midX, r.y + r.height}, {r.x, midY}};
}

Path polylineOutline(const std::vector<PointF> &points)
{
    Path path;
    if (points.empty()) {
        return path;
    }
    path.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.lineTo(points[i]);
    }
    return path;
}

Path arrowOutline(PointF start, PointF end, double width)
{
    Path path;
    path.moveTo(start);
    path.lineTo(end);
    path.append(arrowHeadOutline(start, end, width));
    return path;
}

Path arrowHeadOutline(PointF start, PointF end, double width)
{
    const double theta = std::atan2(end.y - start.y, end.x - start.x);
    const double length = std::max(4 * width, 12.0);
    Path path;
    path.moveTo({end.x - length * std::cos(theta - arrowHeadAngle),
                 end.y - length * std::sin(theta - arrowHeadAngle)});
    path.lineTo(end);
    path.lineTo({end.x - length * std::cos(theta + arrowHeadAngle),
                 end.y - length * std::sin(theta + arrowHeadAngle)});
    return path;
}

std::vector<std::vector<PointF>> flattenPath(const Path &path)
{
    std::vector<std::vector<PointF>> polygons;
    std::vector<PointF> current;
    const auto finish = [&] {
        if (current.size() >= 3) {
            polygons.push_back(current);
        }
        current.clear();
    };
    for (const Path::Element &element : path.elements()) {
        const PointF last = current.empty() ? PointF{} : current.back();
        switch (element.op) {
        case Path::Op::moveTo:
            finish();
            current.push_back(element.points[0]);
            break;
        case Path::Op::lineTo:
            current.push_back(element.points[0]);
            break;
        case Path::Op::quadTo:
            for (int i = 1; i <= curveSteps; ++i) {
                const double t = double(i) / curveSteps;
                current.push_back(lerp(lerp(last, element.points[0], t),
                                       lerp(element.points[0], element.points[1], t),
                                       t));
            }
            break;
        case Path::Op::cubicTo:
            for (int i = 1; i <= curveSteps; ++i) {
                const double t = double(i) / curveSteps;
                const PointF ab = lerp(last, element.points[0], t);
                const PointF bc = lerp(element.points[0], element.points[1], t);
                const PointF cd = lerp(element.points[1], element.points[2], t);
                current.push_back(lerp(lerp(ab, bc, t), lerp(bc, cd, t), t));
            }
            break;
        case Path::Op::close:
            finish();
            break;
        }
    }
    finish();
    return polygons;
}

HatchFill hatchFill(const Path &outline, RectF area, bool crossed)
{
    return {
        flattenPath(outline), insetRect(normalizedRect(area), -hatchMargin, -hatchMargin), crossed};
}

Path hatchLines(const HatchFill &fill, const std::optional<RectF> &window)
{
    Path lines;
    const std::optional<RectF> box = window ? overlap(fill.area, *window) : fill.area;
    if (!box || !isFinite(fill.area)) {
        return lines;
    }
    appendHatchSet(fill, *box, true, lines);
    if (fill.crossed) {
        appendHatchSet(fill, *box, false, lines);
    }
    return lines;
}

bool isHatchThinned(const HatchFill &fill)
{
    return lineSpacing(fill.area.width + fill.area.height) > hatchGap;
}

} // namespace zentrel
