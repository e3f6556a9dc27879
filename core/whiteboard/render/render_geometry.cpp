#include "whiteboard/render/render_geometry.h"

#include "common/geometry.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// A cubic arc of this control length follows a quarter circle within 0.03 %.
constexpr double kappa = 0.5522847498307936;
constexpr int curveSteps = 16;
constexpr double arrowHeadAngle = 0.4487989505128276; // π / 7

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

Path firstSubpath(const Path &path)
{
    Path first;
    for (const Path::Element &piece : path.elements()) {
        const auto &p = piece.points;
        switch (piece.op) {
        case Path::Op::moveTo:
            if (!first.isEmpty()) {
                return first;
            }
            first.moveTo(p[0]);
            break;
        case Path::Op::lineTo:
            first.lineTo(p[0]);
            break;
        case Path::Op::quadTo:
            first.quadTo(p[0], p[1]);
            break;
        case Path::Op::cubicTo:
            first.cubicTo(p[0], p[1], p[2]);
            break;
        case Path::Op::close:
            first.closeSubpath();
            break;
        }
    }
    return first;
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

} // namespace zentrel
