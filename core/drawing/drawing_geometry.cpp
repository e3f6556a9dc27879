#include "drawing/drawing_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace zentrel {

namespace {

constexpr Color black{0, 0, 0, 1};
constexpr Color white{1, 1, 1, 1};

Color withAlpha(Color color, double alpha)
{
    color.alpha = alpha;
    return color;
}

PointF midpoint(PointF a, PointF b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

RectF spannedRect(PointF a, PointF b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
}

// Curves through the midpoints between samples, so corners of a fast drag come out smooth.
Path freehandPath(const std::vector<PointF> &points)
{
    Path path;
    path.moveTo(points.front());
    if (points.size() == 2) {
        path.lineTo(points.back());
    } else if (points.size() > 2) {
        for (std::size_t i = 1; i + 1 < points.size(); ++i) {
            path.cubicTo(points[i], points[i], midpoint(points[i], points[i + 1]));
        }
        path.lineTo(points.back());
    }
    return path;
}

Path arrowPath(PointF first, PointF last, double strokeWidth)
{
    constexpr double halfAngle = std::numbers::pi / 7;
    const double angle = std::atan2(last.y - first.y, last.x - first.x);
    const double headLength = std::max(4 * strokeWidth, 12.0);
    const auto wingEnd = [&](double wingAngle) {
        return PointF{last.x - headLength * std::cos(wingAngle),
                      last.y - headLength * std::sin(wingAngle)};
    };
    Path path;
    path.moveTo(first);
    path.lineTo(last);
    path.moveTo(wingEnd(angle - halfAngle));
    path.lineTo(last);
    path.lineTo(wingEnd(angle + halfAngle));
    return path;
}

Path rectanglePath(const RectF &rect)
{
    Path path;
    path.moveTo({rect.x, rect.y});
    path.lineTo({rect.x + rect.width, rect.y});
    path.lineTo({rect.x + rect.width, rect.y + rect.height});
    path.lineTo({rect.x, rect.y + rect.height});
    path.closeSubpath();
    return path;
}

Path ellipsePath(const RectF &rect)
{
    Path path;
    path.addEllipse(rect);
    return path;
}

Path diamondPath(const RectF &rect)
{
    const double midX = rect.x + rect.width / 2;
    const double midY = rect.y + rect.height / 2;
    Path path;
    path.moveTo({midX, rect.y});
    path.lineTo({rect.x + rect.width, midY});
    path.lineTo({midX, rect.y + rect.height});
    path.lineTo({rect.x, midY});
    path.closeSubpath();
    return path;
}

Path linePath(PointF first, PointF last)
{
    Path path;
    path.moveTo(first);
    path.lineTo(last);
    return path;
}

} // namespace

Path strokeGeometry(const DrawingStroke &stroke, double strokeWidth)
{
    if (stroke.points.empty()) {
        return {};
    }
    const PointF first = stroke.points.front();
    const PointF last = stroke.points.back();
    switch (stroke.tool) {
    case DrawingTool::freehand:
        return freehandPath(stroke.points);
    case DrawingTool::arrow:
        return arrowPath(first, last, strokeWidth);
    case DrawingTool::rectangle:
        return rectanglePath(spannedRect(first, last));
    case DrawingTool::ellipse:
        return ellipsePath(spannedRect(first, last));
    case DrawingTool::diamond:
        return diamondPath(spannedRect(first, last));
    case DrawingTool::line:
        return linePath(first, last);
    case DrawingTool::number:
    case DrawingTool::eraser:
        break;
    }
    return {};
}

bool usesRoundCapsAndJoins(DrawingTool tool)
{
    return tool == DrawingTool::freehand || tool == DrawingTool::arrow || tool == DrawingTool::line;
}

Color contrastColor(const Color &color)
{
    const double luminance = 0.2126 * color.red + 0.7152 * color.green + 0.0722 * color.blue;
    return luminance > 0.5 ? black : white;
}

DrawingShadow drawingShadow(double width, double alpha)
{
    return {withAlpha(black, 0.45 * alpha), std::max(0.75 * width, 2.0)};
}

double outlineWidth(double width)
{
    return width + std::max(0.8 * width, 4.0);
}

std::optional<StrokeStyle>
strokeStyle(const DrawingStroke &stroke, double alpha, ContrastOptions contrast)
{
    if (!(alpha > 0) || stroke.points.empty()) {
        return std::nullopt;
    }
    const double width = stroke.lineWidth;
    const bool round = usesRoundCapsAndJoins(stroke.tool);
    StrokeStyle style;
    if (contrast.shadow) {
        style.shadow = drawingShadow(width, alpha);
        if (contrast.outline) {
            const double wide = outlineWidth(width);
            style.outline = StrokePass{strokeGeometry(stroke, wide),
                                       withAlpha(contrastColor(stroke.color), alpha),
                                       wide,
                                       round};
        }
    }
    style.stroke =
        StrokePass{strokeGeometry(stroke, width), withAlpha(stroke.color, alpha), width, round};
    return style;
}

double markerDiameter(double lineWidth)
{
    return std::max(5 * lineWidth, 30.0);
}

std::optional<MarkerStyle>
markerStyle(const NumberedMarker &marker, double lineWidth, double alpha, ContrastOptions contrast)
{
    if (!(alpha > 0)) {
        return std::nullopt;
    }
    constexpr double ringWidth = 3;
    const double diameter = markerDiameter(lineWidth);
    const RectF square{
        marker.point.x - diameter / 2, marker.point.y - diameter / 2, diameter, diameter};
    MarkerStyle style;
    if (contrast.shadow) {
        // The shadow a stroke of 0.15 d would cast.
        style.shadow = drawingShadow(0.15 * diameter, alpha);
        if (contrast.outline) {
            const RectF ring{square.x - ringWidth,
                             square.y - ringWidth,
                             square.width + 2 * ringWidth,
                             square.height + 2 * ringWidth};
            style.ring = MarkerDisc{ring, withAlpha(contrastColor(marker.color), alpha)};
        }
    }
    style.disc = MarkerDisc{square, withAlpha(marker.color, alpha)};
    style.text = std::to_string(marker.number);
    style.fontSize = 0.5 * diameter;
    style.textColor = withAlpha(white, alpha);
    style.textCenter = marker.point;
    return style;
}

} // namespace zentrel
