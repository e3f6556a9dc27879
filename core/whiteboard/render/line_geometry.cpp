#include "whiteboard/render/line_geometry.h"

#include "whiteboard/render/render_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace zentrel {

namespace {

constexpr double minimumLineWidth = 0.5;
// Excalidraw's head sizes and the half-angle of its heads' sides, in radians; a head shrinks
// to half its last segment (a quarter for a diamond, which is twice as long).
constexpr double headSize = 15;
constexpr double diamondHeadSize = 12;
constexpr double headAngle = 25 * std::numbers::pi / 180;
// Excalidraw aims a head of a curve at the curve's point this share of its end piece back.
constexpr double curveAimShare = 0.3;

// Where one head sits: at `tip`, pointing away from `aim`, on a last segment `segment` long.
struct HeadPlace
{
    PointF tip;
    PointF aim;
    double segment = 0;
};

// The nearest point to the chosen end that lies apart from it, so a repeated end point does not
// turn the head; the other end when all points coincide.
PointF neighbourOf(const std::vector<PointF> &points, bool atEnd)
{
    const PointF tip = atEnd ? points.back() : points.front();
    for (std::size_t k = 1; k < points.size(); ++k) {
        const PointF point = atEnd ? points[points.size() - 1 - k] : points[k];
        if (!(point == tip)) {
            return point;
        }
    }
    return atEnd ? points.front() : points.back();
}

PointF cubicAt(PointF from, const Path::Element &cubic, double t)
{
    const double u = 1 - t;
    const std::array<double, 4> w{u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
    const std::array<PointF, 4> p{from, cubic.points[0], cubic.points[1], cubic.points[2]};
    PointF result;
    for (std::size_t i = 0; i < p.size(); ++i) {
        result.x += w[i] * p[i].x;
        result.y += w[i] * p[i].y;
    }
    return result;
}

// The curve's point a little way back along its end piece, which follows the bend into the
// tip; the neighbour when that point is the tip itself.
PointF curveAim(const Path &curve, bool atEnd, PointF neighbour)
{
    const std::vector<Path::Element> &elements = curve.elements();
    if (elements.size() < 2) {
        return neighbour;
    }
    const std::size_t piece = atEnd ? elements.size() - 1 : 1;
    const PointF from = elements[piece - 1].endPoint().value_or(PointF{});
    const PointF tip = atEnd ? elements[piece].points[2] : from;
    const PointF aim = cubicAt(from, elements[piece], atEnd ? 1 - curveAimShare : curveAimShare);
    return aim == tip ? neighbour : aim;
}

HeadPlace headPlace(const std::vector<PointF> &points, const Path *curve, bool atEnd)
{
    HeadPlace place;
    place.tip = atEnd ? points.back() : points.front();
    const PointF neighbour = neighbourOf(points, atEnd);
    place.aim = curve ? curveAim(*curve, atEnd, neighbour) : neighbour;
    place.segment = distance(place.tip, neighbour);
    return place;
}

// `point` turned by `angle` about `centre`.
PointF turned(PointF point, PointF centre, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double dx = point.x - centre.x;
    const double dy = point.y - centre.y;
    return {centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
}

// A head of Excalidraw's shapes, and how far back from the tip the shaft must stop to leave a
// hollow one empty.
struct ExcalidrawHead
{
    ArrowheadShape shape;
    double inset = 0;
};

ExcalidrawHead excalidrawHead(WhiteboardArrowhead kind, const HeadPlace &place, double lineWidth)
{
    const bool diamond =
        kind == WhiteboardArrowhead::diamond || kind == WhiteboardArrowhead::diamondOutline;
    const double length = distance(place.tip, place.aim);
    const double size =
        std::min(diamond ? diamondHeadSize : headSize, place.segment * (diamond ? 0.25 : 0.5));
    ExcalidrawHead head;
    if (!(length > 0) || !(size > 0)) {
        return head;
    }
    const PointF tip = place.tip;
    const PointF along{(tip.x - place.aim.x) / length, (tip.y - place.aim.y) / length};
    const PointF base{tip.x - along.x * size, tip.y - along.y * size};
    Path &path = head.shape.path;
    switch (kind) {
    case WhiteboardArrowhead::dot:
    case WhiteboardArrowhead::circle:
    case WhiteboardArrowhead::circleOutline: {
        const double diameter = std::max(size + lineWidth - 2, lineWidth);
        path.addEllipse({tip.x - diameter / 2, tip.y - diameter / 2, diameter, diameter});
        head.shape.filled = kind != WhiteboardArrowhead::circleOutline;
        head.inset = head.shape.filled ? 0 : diameter / 2;
        break;
    }
    case WhiteboardArrowhead::bar:
        // Square across the line, as Excalidraw turns its sides by 90°.
        path.moveTo({tip.x - along.y * size, tip.y + along.x * size});
        path.lineTo({tip.x + along.y * size, tip.y - along.x * size});
        break;
    case WhiteboardArrowhead::triangle:
    case WhiteboardArrowhead::triangleOutline:
    case WhiteboardArrowhead::diamond:
    case WhiteboardArrowhead::diamondOutline: {
        std::vector<PointF> corners{tip, turned(base, tip, -headAngle)};
        if (diamond) {
            corners.push_back({tip.x - along.x * 2 * size, tip.y - along.y * 2 * size});
        }
        corners.push_back(turned(base, tip, headAngle));
        path = polygonOutline(corners);
        head.shape.filled =
            kind == WhiteboardArrowhead::triangle || kind == WhiteboardArrowhead::diamond;
        if (!head.shape.filled) {
            head.inset = diamond ? 2 * size : size * std::cos(headAngle);
        }
        break;
    }
    case WhiteboardArrowhead::none:
    case WhiteboardArrowhead::arrow:
        break;
    }
    return head;
}

// Moves the tip at the chosen end `inset` back towards the head's aim, within its segment.
void pullTipBack(std::vector<PointF> &points, const HeadPlace &place, bool atEnd, double inset)
{
    const double length = distance(place.tip, place.aim);
    const double back = std::min(inset, place.segment);
    if (!(back > 0) || !(length > 0)) {
        return;
    }
    // The repeats of the tip go too, so the shaft ends on one point.
    const auto isTip = [&place](PointF point) {
        return point == place.tip;
    };
    if (atEnd) {
        while (points.size() > 1 && isTip(points.back())) {
            points.pop_back();
        }
    } else {
        points.erase(points.begin(), std::find_if_not(points.begin(), points.end() - 1, isTip));
    }
    const PointF pulled{place.tip.x + (place.aim.x - place.tip.x) / length * back,
                        place.tip.y + (place.aim.y - place.tip.y) / length * back};
    if (atEnd) {
        points.push_back(pulled);
    } else {
        points.insert(points.begin(), pulled);
    }
}

Path shaftPath(const std::vector<PointF> &points,
               bool curved,
               const std::optional<RoughPathGenerator> &generator)
{
    if (!generator) {
        return lineOutline(points, curved);
    }
    if (curved) {
        return generator->curvePath(points);
    }
    if (points.size() == 2) {
        return generator->linePath(points.front(), points.back());
    }
    return generator->polylinePath(points, false);
}

} // namespace

bool isCurvedLine(const WhiteboardElement &element)
{
    return isSegmentKind(element.kind) && element.style.roundnessType && element.points.size() >= 3;
}

Path lineOutline(const std::vector<PointF> &points, bool curved)
{
    if (!curved || points.size() < 3) {
        return polylineOutline(points);
    }
    Path path;
    path.moveTo(points.front());
    RoughPathGenerator::addCatmullRomCurve(points, path);
    return path;
}

LineDrawing lineDrawing(const WhiteboardElement &element,
                        const std::optional<RoughPathGenerator> &generator)
{
    std::vector<PointF> points = element.linePoints();
    const bool curved = isCurvedLine(element);
    const double width = std::max(element.style.strokeWidth, minimumLineWidth);
    const Arrowheads kinds = arrowheadsOf(element);
    const std::optional<Path> curve =
        curved ? std::optional<Path>(lineOutline(points, true)) : std::nullopt;
    LineDrawing drawing;
    std::vector<PointF> shaft = points;
    for (const bool atEnd : {false, true}) {
        const WhiteboardArrowhead kind = atEnd ? kinds.end : kinds.start;
        if (kind == WhiteboardArrowhead::none) {
            continue;
        }
        const HeadPlace place = headPlace(points, curve ? &*curve : nullptr, atEnd);
        if (kind != WhiteboardArrowhead::arrow) {
            ExcalidrawHead head = excalidrawHead(kind, place, width);
            pullTipBack(shaft, place, atEnd, head.inset);
            drawing.heads.push_back(std::move(head.shape));
            continue;
        }
        ArrowheadShape barbs;
        barbs.path = generator ? generator->arrowHeadPath(place.aim, place.tip, width)
                               : arrowHeadOutline(place.aim, place.tip, width);
        if (barbs.path.isEmpty()) {
            return {};
        }
        drawing.heads.push_back(std::move(barbs));
    }
    drawing.shaft = shaftPath(shaft, curved, generator);
    if (drawing.shaft.isEmpty()) {
        return {};
    }
    return drawing;
}

} // namespace zentrel
