#include "whiteboard/render/element_render_plan.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/model/excalidraw/export/excalidraw_element_writer.h"
#include "whiteboard/render/hatch_fill.h"
#include "whiteboard/render/line_geometry.h"
#include "whiteboard/render/path_thinning.h"
#include "whiteboard/render/render_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zentrel {

namespace {

constexpr double minimumLineWidth = 0.5;
constexpr double cornerRadiusLimit = 16;
constexpr double cornerRadiusFactor = 0.25;
constexpr double defaultFontSize = 24;
// The platform's orange, so a placeholder never looks like the element's own colours.
constexpr Color placeholderOrange{1.0, 149.0 / 255.0, 0.0, 1.0};
// Far below anything visible: what adding the same offset to every point may leave over.
constexpr double translationTolerance = 1e-6;
constexpr double dashRepeatBudget = 4096;

Color withAlpha(Color color, double alpha)
{
    color.alpha = alpha;
    return color;
}

Color strokeColorOf(const WhiteboardElement &element)
{
    return withAlpha(colorFromHex(element.style.strokeColor).value_or(Color{}),
                     element.style.opacity);
}

// An unreadable fill text paints clear rather than falling back to a visible colour.
Color fillColorOf(const WhiteboardElement &element)
{
    const std::optional<Color> color = colorFromHex(element.style.fillColor);
    return color ? withAlpha(*color, element.style.opacity) : Color{0, 0, 0, 0};
}

// How many points a path element names.
std::size_t pointCount(Path::Op op)
{
    switch (op) {
    case Path::Op::close:
        return 0;
    case Path::Op::quadTo:
        return 2;
    case Path::Op::cubicTo:
        return 3;
    case Path::Op::moveTo:
    case Path::Op::lineTo:
        break;
    }
    return 1;
}

// How long a path is at most: the length of the lines through its points, controls included.
double pathLengthBound(const Path &path)
{
    double length = 0;
    PointF last;
    PointF start;
    for (const Path::Element &piece : path.elements()) {
        if (piece.op == Path::Op::moveTo) {
            start = last = piece.points[0];
        } else if (piece.op == Path::Op::close) {
            length += distance(last, start);
            last = start;
        }
        for (std::size_t i = 0; piece.op != Path::Op::moveTo && i < pointCount(piece.op); ++i) {
            length += distance(last, piece.points[i]);
            last = piece.points[i];
        }
    }
    return length;
}

// The dash pattern repeats at most dashRepeatBudget times along the stroke: past that, its dashes
// and gaps grow alike, by powers of two. The painter makes every dash of a stroke, so a huge
// dashed shape would otherwise take as much time and memory as it has dashes.
void boundDashes(RenderStroke &stroke)
{
    double period = 0;
    for (const double length : stroke.dash) {
        period += length;
    }
    if (!(period > 0)) {
        return;
    }
    const double length = pathLengthBound(stroke.path);
    double factor = 1;
    while (length / (period * factor) > dashRepeatBudget) {
        factor *= 2;
    }
    for (double &dash : stroke.dash) {
        dash *= factor;
    }
}

// Dashes scale with the stroke, but never below 1 so thin strokes still show their pattern.
void applyDash(const WhiteboardElement &element, RenderStroke &stroke)
{
    const double d = std::max(element.style.strokeWidth, 1.0);
    switch (element.style.strokeStyle.value_or(WhiteboardStrokeStyle::solid)) {
    case WhiteboardStrokeStyle::dashed:
        stroke.dash = {4 * d, 3 * d};
        break;
    case WhiteboardStrokeStyle::dotted:
        stroke.cap = RenderLineCap::round;
        stroke.dash = {0.1, 2.5 * d};
        break;
    case WhiteboardStrokeStyle::solid:
        stroke.dash.clear();
        break;
    }
    boundDashes(stroke);
}

RenderStroke elementStroke(const WhiteboardElement &element, Path path, RenderLineCap cap)
{
    RenderStroke stroke;
    stroke.path = std::move(path);
    stroke.color = strokeColorOf(element);
    stroke.width = std::max(element.style.strokeWidth, minimumLineWidth);
    stroke.cap = cap;
    applyDash(element, stroke);
    return stroke;
}

// The shape's plain outline: the fill and stroke path when smooth, and the clip of hatch lines
// either way, so rough wobble never lets a hatch line escape the shape's frame.
double cornerRadius(RectF r)
{
    return std::min(
        {r.width * cornerRadiusFactor, r.height * cornerRadiusFactor, cornerRadiusLimit});
}

Path smoothOutline(const WhiteboardElement &element, RectF r)
{
    switch (element.kind) {
    case WhiteboardElementKind::rectangle:
        if (element.style.roundnessType) {
            return roundedRectangleOutline(r, cornerRadius(r));
        }
        return rectangleOutline(r);
    case WhiteboardElementKind::diamond:
        return polygonOutline(diamondPoints(r));
    default:
        return ellipseOutline(r);
    }
}

Path roughOutline(const WhiteboardElement &element, RectF r, const RoughPathGenerator &generator)
{
    switch (element.kind) {
    case WhiteboardElementKind::rectangle:
        if (element.style.roundnessType) {
            return generator.closedCurvePath(
                RoughPathGenerator::roundedRectanglePoints(r, cornerRadius(r)));
        }
        return generator.rectanglePath(r);
    case WhiteboardElementKind::diamond:
        return generator.polylinePath(diamondPoints(r), true);
    default:
        return generator.ellipsePath(r);
    }
}

// The fill of a closed outline: solid along `path`, or hatch lines clipped to the plain
// `outline` across `area`, thinned where the shape is too large to draw every one, and left
// for the painter to clip where the outline would cut them into too many pieces.
void planFill(const WhiteboardElement &element,
              const Path &outline,
              const Path &path,
              RectF area,
              ElementRenderPlan &plan)
{
    if (!element.style.fillColor) {
        return;
    }
    const WhiteboardFillStyle style = element.style.fillStyle.value_or(WhiteboardFillStyle::solid);
    if (style == WhiteboardFillStyle::solid) {
        plan.fillColor = fillColorOf(element);
        // A very rough outline is drawn twice; filled together, the two would cancel wherever
        // they overlap, nearly all of the inside, as the fill is even-odd: it takes the first.
        plan.fillPath = firstSubpath(path);
        return;
    }
    HatchFill fill = hatchFill(outline, area, style == WhiteboardFillStyle::crossHatch);
    RenderStroke hatch;
    hatch.color = fillColorOf(element);
    hatch.width = 1;
    hatch.roundJoin = false;
    hatch.path = hatchLines(fill);
    plan.hatch = std::move(hatch);
    if (isHatchThinned(fill) || hatchNeedsClip(fill)) {
        plan.hatchFill = std::move(fill);
    }
}

void planClosedShape(const WhiteboardElement &element,
                     const std::optional<RoughPathGenerator> &gen,
                     ElementRenderPlan &plan)
{
    const RectF r = normalizedRect(element.frame());
    const Path outline = smoothOutline(element, r);
    Path path = gen ? roughOutline(element, r, *gen) : outline;
    // Sides longer than the generator draws by hand are drawn smooth, rather than not at all.
    if (path.isEmpty()) {
        path = outline;
    }
    planFill(element, outline, path, r, plan);
    plan.stroke = elementStroke(element, path, RenderLineCap::butt);
}

void planFreehand(const WhiteboardElement &element,
                  const std::optional<RoughPathGenerator> &gen,
                  ElementRenderPlan &plan)
{
    const std::vector<PointF> points = element.scenePoints();
    if (points.empty()) {
        return;
    }
    Path path = gen ? gen->freehandPath(points) : polylineOutline(points);
    plan.stroke = elementStroke(element, std::move(path), RenderLineCap::round);
}

// A line that comes back to its start: one closed outline through its corners, filled as a
// shape; a rounded one curves through them.
void planClosedLine(const WhiteboardElement &element,
                    std::vector<PointF> corners,
                    const std::optional<RoughPathGenerator> &gen,
                    ElementRenderPlan &plan)
{
    RectF area{corners.front().x, corners.front().y, 0, 0};
    for (const PointF corner : corners) {
        area = unionRect(area, {corner.x, corner.y, 0, 0});
    }
    Path outline;
    Path path;
    if (isCurvedLine(element)) {
        // The curve runs back into its first point, as Excalidraw closes one.
        if (!(corners.front() == corners.back())) {
            corners.push_back(corners.front());
        }
        outline = lineOutline(corners, true);
        outline.closeSubpath();
        path = gen ? gen->curvePath(corners) : outline;
    } else {
        // A last point on the first would only add a closing side of no length.
        if (corners.front() == corners.back()) {
            corners.pop_back();
        }
        outline = polygonOutline(corners);
        path = gen ? gen->polylinePath(corners, true) : outline;
    }
    if (path.isEmpty()) {
        path = outline;
    }
    planFill(element, outline, path, area, plan);
    plan.stroke = elementStroke(element, path, RenderLineCap::round);
}

void planLine(const WhiteboardElement &element,
              const std::optional<RoughPathGenerator> &gen,
              ElementRenderPlan &plan)
{
    if (isClosedLine(element)) {
        planClosedLine(element, element.linePoints(), gen, plan);
        return;
    }
    LineDrawing drawing = lineDrawing(element, gen);
    Path path = std::move(drawing.shaft);
    for (const ArrowheadShape &head : drawing.heads) {
        path.append(head.path);
        if (head.filled) {
            plan.headFill.append(head.path);
        }
    }
    plan.stroke = elementStroke(element, std::move(path), RenderLineCap::round);
}

SizeF measured(const TextMeasurer &measure,
               std::string_view text,
               WhiteboardTypeface typeface,
               double size)
{
    return measure ? measure(text, typeface, size) : SizeF{};
}

void planText(const WhiteboardElement &element,
              const TextMeasurer &measure,
              ElementRenderPlan &plan)
{
    RenderText text;
    text.typeface = whiteboardTypeface(element);
    text.fontSize = element.fontSize.value_or(defaultFontSize);
    text.color = strokeColorOf(element);
    for (PlacedTextLine &line : layOutText(element, text.typeface, text.fontSize, measure)) {
        text.lines.push_back({std::move(line.text), {line.box.x, line.box.y}});
    }
    plan.text = std::move(text);
}

// A one-line label drawn from `origin`, its top left.
RenderText labelText(std::string label, WhiteboardTypeface typeface, double fontSize, PointF origin)
{
    RenderText text;
    text.typeface = typeface;
    text.fontSize = fontSize;
    text.lines.push_back({std::move(label), origin});
    return text;
}

// The number sits white on the badge's disc, opaque whatever the element's opacity.
void planMarkerNumber(const WhiteboardElement &element,
                      const TextMeasurer &measure,
                      ElementRenderPlan &plan)
{
    const RectF r = normalizedRect(element.frame());
    const std::string number = std::to_string(element.markerNumber.value_or(1));
    const double fontSize = std::min(r.width, r.height) * 0.5;
    const SizeF size = measured(measure, number, WhiteboardTypeface::handDrawn, fontSize);
    const PointF centre = rectCenter(r);
    plan.text = labelText(number,
                          WhiteboardTypeface::handDrawn,
                          fontSize,
                          {centre.x - size.width / 2, centre.y - size.height / 2});
    plan.text->color = Color{1, 1, 1, 1};
}

// Drawn in screen units so a foreign element stays recognisable at any zoom.
void planPlaceholder(const WhiteboardElement &element,
                     double viewportScale,
                     ElementRenderPlan &plan)
{
    const double scale = viewportScale > 0 ? viewportScale : 1.0;
    const RectF r = normalizedRect(element.frame());
    RenderStroke stroke;
    stroke.path = rectangleOutline(r);
    stroke.color = placeholderOrange;
    stroke.width = 1 / scale;
    stroke.roundJoin = false;
    stroke.dash = {6 / scale, 4 / scale};
    boundDashes(stroke);
    plan.stroke = std::move(stroke);
    plan.text =
        labelText("Unsupported", WhiteboardTypeface::system, 11 / scale, {r.x + 4, r.y + 4});
    plan.text->color = placeholderOrange;
}

// How far a curve may reach past the box of its points: no further than its control points.
double curveReach(const WhiteboardElement &element)
{
    if (!isCurvedLine(element)) {
        return 0;
    }
    const RectF box = normalizedRect(element.bounds());
    double reach = 0;
    const Path curve = lineOutline(element.linePoints(), true);
    for (const Path::Element &piece : curve.elements()) {
        if (piece.op != Path::Op::cubicTo) {
            continue;
        }
        for (const PointF point : piece.points) {
            reach = std::max({reach,
                              box.x - point.x,
                              point.x - (box.x + box.width),
                              box.y - point.y,
                              point.y - (box.y + box.height)});
        }
    }
    return reach;
}

// Whether every point of `to` lies `offset` from its counterpart in `from`, within rounding.
bool movedAlike(const std::vector<WhiteboardPoint> &from,
                const std::vector<WhiteboardPoint> &to,
                PointF offset)
{
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (std::abs(to[i].x - from[i].x - offset.x) > translationTolerance
            || std::abs(to[i].y - from[i].y - offset.y) > translationTolerance) {
            return false;
        }
    }
    return true;
}

ElementRenderPlan planOf(const WhiteboardElement &element,
                         RoughnessLevel roughness,
                         double viewportScale,
                         const TextMeasurer &measure)
{
    ElementRenderPlan plan;
    plan.rotation = element.rotation;
    plan.centre = element.rotationCentre();
    std::optional<RoughPathGenerator> generator;
    if (roughness != RoughnessLevel::none) {
        generator.emplace(elementRoughSeed(element), roughPathRoughness(roughness));
    }
    switch (element.kind) {
    case WhiteboardElementKind::rectangle:
    case WhiteboardElementKind::ellipse:
    case WhiteboardElementKind::diamond:
        planClosedShape(element, generator, plan);
        break;
    case WhiteboardElementKind::marker:
        planClosedShape(element, generator, plan);
        planMarkerNumber(element, measure, plan);
        break;
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        planLine(element, generator, plan);
        break;
    case WhiteboardElementKind::freedraw:
        planFreehand(element, generator, plan);
        break;
    case WhiteboardElementKind::text:
        planText(element, measure, plan);
        break;
    case WhiteboardElementKind::unsupported:
        planPlaceholder(element, viewportScale, plan);
        break;
    }
    return plan;
}

} // namespace

std::uint64_t elementRoughSeed(const WhiteboardElement &element)
{
    // A negative stored seed keeps its bit pattern; Excalidraw never writes one.
    return static_cast<std::uint64_t>(element.excalidrawSeed.value_or(
        excalidrawIdentifierHash(element.id, excalidrawSeedHashStart)));
}

RoughnessLevel elementRenderRoughness(const WhiteboardElement &element)
{
    if (element.kind == WhiteboardElementKind::text
        || element.kind == WhiteboardElementKind::unsupported) {
        return RoughnessLevel::none;
    }
    return elementRoughnessLevel(element.style.roughness);
}

RectF elementPaintBounds(const WhiteboardElement &element, double viewportScale)
{
    // Wobble stays within a few points and arrowheads reach about 2 × the line width sideways; a
    // text's lines may run below its frame by up to about a line, and a word past its sides by
    // what a line may overflow.
    const double width = std::max(element.style.strokeWidth, minimumLineWidth);
    // A curve's reach past its points grows by up to √2 once turned.
    double margin = 2 * width + 16 + std::numbers::sqrt2 * curveReach(element);
    if (element.kind == WhiteboardElementKind::text) {
        margin += 2 * element.fontSize.value_or(defaultFontSize)
                  + wordOverflowAllowance * std::abs(element.width);
    } else if (element.kind == WhiteboardElementKind::unsupported) {
        // The "Unsupported" label is about 70 by 14 points on screen.
        margin += 100 / (viewportScale > 0 ? viewportScale : 1.0);
    }
    return insetRect(rotatedBoundingBox(element), -margin, -margin);
}

std::optional<PointF> renderTranslation(const WhiteboardElement &from, const WhiteboardElement &to)
{
    if (from.id != to.id || from.kind != to.kind) {
        return std::nullopt;
    }
    WhiteboardElement moved = from;
    PointF offset{to.x - from.x, to.y - from.y};
    // A freehand stroke moves its points; each must have moved alike, within rounding.
    if (from.kind == WhiteboardElementKind::freedraw) {
        if (from.points.empty() || from.points.size() != to.points.size()) {
            return std::nullopt;
        }
        offset = {to.points.front().x - from.points.front().x,
                  to.points.front().y - from.points.front().y};
        if (!movedAlike(from.points, to.points, offset)) {
            return std::nullopt;
        }
        // Its frame only places the centre it turns about.
        if (from.rotation != 0
            && (std::abs(to.x - from.x - offset.x) > translationTolerance
                || std::abs(to.y - from.y - offset.y) > translationTolerance)) {
            return std::nullopt;
        }
        moved.points = to.points;
    } else if (isSegmentKind(from.kind)) {
        // A line's own points move with its frame.
        if (from.points.size() != to.points.size() || !movedAlike(from.points, to.points, offset)) {
            return std::nullopt;
        }
        moved.points = to.points;
    }
    moved.x = to.x;
    moved.y = to.y;
    moved.excalidrawVersion = to.excalidrawVersion;
    moved.excalidrawVersionNonce = to.excalidrawVersionNonce;
    moved.excalidrawUpdated = to.excalidrawUpdated;
    moved.excalidrawEditedAt = to.excalidrawEditedAt;
    if (!(moved == to)) {
        return std::nullopt;
    }
    return offset;
}

ElementRenderPlan elementRenderPlan(const WhiteboardElement &element,
                                    RoughnessLevel roughness,
                                    double viewportScale,
                                    const TextMeasurer &measure)
{
    if (isThinnedForPainting(element)) {
        const double paintScale = elementPaintScale(element, viewportScale);
        return planOf(
            thinnedForPainting(element, paintScale), RoughnessLevel::none, viewportScale, measure);
    }
    return planOf(element, roughness, viewportScale, measure);
}

} // namespace zentrel
