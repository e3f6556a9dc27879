#include "whiteboard/model/svg/svg_export.h"

#include "common/geometry.h"
#include "whiteboard/model/svg/svg_text.h"
#include "whiteboard/render/line_geometry.h"
#include "whiteboard/render/text_layout.h"

#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string_view>
#include <vector>

namespace zentrel {
namespace {

constexpr double boundingMargin = 20;
constexpr double defaultFontSize = 24;
// Lines of text are this many font sizes apart when the element names no line height; it is
// Excalidraw's, and what the hand-drawn font's own spacing comes to.
constexpr double defaultLineHeight = 1.25;
constexpr std::int64_t defaultMarkerNumber = 1;
// Rough size of one element's line, so a large board grows its text only a few times.
constexpr std::size_t bytesPerElement = 160;

constexpr std::string_view documentDefs =
    "  <defs>\n"
    "    <marker id=\"arrow\" markerWidth=\"10\" markerHeight=\"10\" refX=\"8\" refY=\"5\" "
    "orient=\"auto\" markerUnits=\"strokeWidth\">\n"
    "      <path d=\"M 0 0 L 10 5 L 0 10 z\" fill=\"context-stroke\"/>\n"
    "    </marker>\n"
    "  </defs>\n";

void appendDashAttributes(std::string &out, const WhiteboardElementStyle &style)
{
    const double w = style.strokeWidth;
    if (style.strokeStyle == WhiteboardStrokeStyle::dashed) {
        out += " stroke-dasharray=\"";
        appendSvgNumber(out, 4 * w);
        out += ' ';
        appendSvgNumber(out, 3 * w);
        out += '"';
    } else if (style.strokeStyle == WhiteboardStrokeStyle::dotted) {
        out += " stroke-dasharray=\"0.1 ";
        appendSvgNumber(out, 2.5 * w);
        out += "\" stroke-linecap=\"round\"";
    }
}

void appendCommonAttributes(std::string &out, const WhiteboardElementStyle &style, bool noFill)
{
    appendSvgEscapedAttribute(out, "stroke", style.strokeColor);
    if (noFill || !style.fillColor) {
        appendSvgAttribute(out, "fill", "none");
    } else {
        appendSvgEscapedAttribute(out, "fill", *style.fillColor);
    }
    appendSvgNumberAttribute(out, "stroke-width", style.strokeWidth);
    appendSvgNumberAttribute(out, "opacity", style.opacity);
    appendDashAttributes(out, style);
}

// The box of a line's or arrow's own points: a polyline read from a document runs outside the
// segment of its frame (a closed one has a frame of no size at all).
std::optional<RectF> pathBox(const WhiteboardElement &element)
{
    if (!isSegmentKind(element.kind) || element.points.size() < 2) {
        return std::nullopt;
    }
    const std::vector<PointF> path = element.linePoints();
    RectF box{path.front().x, path.front().y, 0, 0};
    for (const PointF &point : path) {
        box = unionRect(box, {point.x, point.y, 0, 0});
    }
    return box;
}

void appendRotation(std::string &out, const WhiteboardElement &element)
{
    if (element.rotation == 0) {
        return;
    }
    // A polyline turns about the middle of its points, as in the document it came from.
    const PointF centre = rectCenter(pathBox(element).value_or(element.frame()));
    out += " transform=\"rotate(";
    appendSvgNumber(out, element.rotation * 180 / std::numbers::pi);
    out += ' ';
    appendSvgNumber(out, centre.x);
    out += ' ';
    appendSvgNumber(out, centre.y);
    out += ")\"";
}

void appendPoint(std::string &out, double x, double y)
{
    appendSvgNumber(out, x);
    out += ',';
    appendSvgNumber(out, y);
}

// The rectangle as given, signs kept.
void appendFrameAttributes(std::string &out, const RectF &frame)
{
    appendSvgNumberAttribute(out, "x", frame.x);
    appendSvgNumberAttribute(out, "y", frame.y);
    appendSvgNumberAttribute(out, "width", frame.width);
    appendSvgNumberAttribute(out, "height", frame.height);
}

void appendEllipse(std::string &out, const WhiteboardElement &element)
{
    const PointF centre = rectCenter(element.frame());
    out += "<ellipse";
    appendSvgNumberAttribute(out, "cx", centre.x);
    appendSvgNumberAttribute(out, "cy", centre.y);
    appendSvgNumberAttribute(out, "rx", std::abs(element.width) / 2);
    appendSvgNumberAttribute(out, "ry", std::abs(element.height) / 2);
    appendCommonAttributes(out, element.style, false);
    appendRotation(out, element);
    out += "/>";
}

void appendDiamond(std::string &out, const WhiteboardElement &element)
{
    const RectF frame = normalizedRect(element.frame());
    const PointF mid = rectCenter(frame);
    out += "<polygon points=\"";
    appendPoint(out, mid.x, frame.y);
    out += ' ';
    appendPoint(out, frame.x + frame.width, mid.y);
    out += ' ';
    appendPoint(out, mid.x, frame.y + frame.height);
    out += ' ';
    appendPoint(out, frame.x, mid.y);
    out += '"';
    appendCommonAttributes(out, element.style, false);
    appendRotation(out, element);
    out += "/>";
}

bool isClosed(const std::vector<PointF> &path)
{
    return path.size() >= 4 && path.front() == path.back();
}

void appendPathData(std::string &out, const Path &path)
{
    constexpr std::array<std::string_view, 5> commands{"M", "L", "Q", "C", "Z"};
    constexpr std::array<std::size_t, 5> pointCounts{1, 1, 2, 3, 0};
    bool first = true;
    for (const Path::Element &element : path.elements()) {
        const auto op = static_cast<std::size_t>(element.op);
        out += first ? "" : " ";
        out += commands[op];
        for (std::size_t i = 0; i < pointCounts[op]; ++i) {
            out += ' ';
            appendSvgNumber(out, element.points[i].x);
            out += ' ';
            appendSvgNumber(out, element.points[i].y);
        }
        first = false;
    }
}

// An arrow with the heads of one drawn here gets them from the document's marker.
bool usesArrowMarker(const WhiteboardElement &element)
{
    const Arrowheads heads = arrowheadsOf(element);
    return heads.start == WhiteboardArrowhead::none && heads.end == WhiteboardArrowhead::arrow;
}

// The path of a line: a closed one ends with "Z" and is filled like a shape, an open one is
// never filled.
void appendLinePath(std::string &out,
                    const WhiteboardElement &element,
                    const Path &path,
                    bool closed,
                    bool withArrowMarker)
{
    out += "<path d=\"";
    appendPathData(out, path);
    out += '"';
    appendCommonAttributes(out, element.style, !closed);
    if (withArrowMarker) {
        appendSvgAttribute(out, "marker-end", "url(#arrow)");
    }
    appendRotation(out, element);
    out += "/>";
}

// A path through every point of a polyline, curving through them when rounded.
void appendPolyline(std::string &out,
                    const WhiteboardElement &element,
                    std::vector<PointF> points,
                    bool withArrowMarker)
{
    const bool closed = isClosed(points);
    const bool curved = isCurvedLine(element);
    if (closed && !curved) {
        points.pop_back();
    }
    Path path = lineOutline(points, curved);
    if (closed) {
        path.closeSubpath();
    }
    appendLinePath(out, element, path, closed, withArrowMarker);
}

// Heads of other shapes than the marker's are drawn as paths of their own after the shaft, in
// the line's colour and pen.
void appendArrowWithHeads(std::string &out, const WhiteboardElement &element)
{
    const LineDrawing drawing = lineDrawing(element, std::nullopt);
    appendLinePath(out, element, drawing.shaft, false, false);
    for (const ArrowheadShape &head : drawing.heads) {
        out += "<path d=\"";
        appendPathData(out, head.path);
        out += '"';
        appendSvgEscapedAttribute(out, "stroke", element.style.strokeColor);
        if (head.filled) {
            appendSvgEscapedAttribute(out, "fill", element.style.strokeColor);
        } else {
            appendSvgAttribute(out, "fill", "none");
        }
        appendSvgNumberAttribute(out, "stroke-width", element.style.strokeWidth);
        appendSvgNumberAttribute(out, "opacity", element.style.opacity);
        appendDashAttributes(out, element.style);
        appendRotation(out, element);
        out += "/>";
    }
}

void appendLine(std::string &out, const WhiteboardElement &element)
{
    const bool arrow = element.kind == WhiteboardElementKind::arrow;
    if (arrow && !usesArrowMarker(element)) {
        return appendArrowWithHeads(out, element);
    }
    if (element.points.size() > 2) {
        return appendPolyline(out, element, element.linePoints(), arrow);
    }
    out += "<line";
    appendSvgNumberAttribute(out, "x1", element.x);
    appendSvgNumberAttribute(out, "y1", element.y);
    appendSvgNumberAttribute(out, "x2", element.x + element.width);
    appendSvgNumberAttribute(out, "y2", element.y + element.height);
    appendCommonAttributes(out, element.style, false);
    if (arrow) {
        appendSvgAttribute(out, "marker-end", "url(#arrow)");
    }
    appendRotation(out, element);
    out += "/>";
}

void appendFreedraw(std::string &out, const WhiteboardElement &element)
{
    out += "<polyline points=\"";
    for (std::size_t i = 0; i < element.points.size(); ++i) {
        if (i > 0) {
            out += ' ';
        }
        appendPoint(out, element.points[i].x, element.points[i].y);
    }
    out += '"';
    appendCommonAttributes(out, element.style, true);
    appendRotation(out, element);
    out += "/>";
}

// One "text" per line, the lines broken as the canvas breaks them: SVG lays a text out on one
// row, whatever line breaks it holds, and wraps nothing.
void appendText(std::string &out, const WhiteboardElement &element, const TextMeasurer &measure)
{
    const double fontSize = element.fontSize.value_or(defaultFontSize);
    const double advance = fontSize * element.lineHeight.value_or(defaultLineHeight);
    const std::vector<PlacedTextLine> lines =
        layOutText(element, whiteboardTypeface(element), fontSize, measure);
    const WhiteboardTextAlignment alignment =
        element.textAlignment.value_or(WhiteboardTextAlignment::left);
    // Each line is anchored at its left end, middle or right end, as it is aligned in the frame.
    double x = element.x;
    if (alignment != WhiteboardTextAlignment::left) {
        x += element.width * (alignment == WhiteboardTextAlignment::center ? 0.5 : 1.0);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += "<text";
        appendSvgNumberAttribute(out, "x", x);
        appendSvgNumberAttribute(out, "y", element.y + fontSize + static_cast<double>(i) * advance);
        if (alignment != WhiteboardTextAlignment::left) {
            appendSvgAttribute(out,
                               "text-anchor",
                               alignment == WhiteboardTextAlignment::center ? "middle" : "end");
        }
        appendSvgNumberAttribute(out, "font-size", fontSize);
        appendSvgEscapedAttribute(out, "fill", element.style.strokeColor);
        appendRotation(out, element);
        out += '>';
        appendSvgEscaped(out, lines[i].text);
        out += "</text>";
    }
}

// The label stays upright: it is centred on the frame and not rotated with the badge.
void appendMarker(std::string &out, const WhiteboardElement &element)
{
    appendEllipse(out, element);
    const PointF centre = rectCenter(element.frame());
    out += "<text";
    appendSvgNumberAttribute(out, "x", centre.x);
    appendSvgNumberAttribute(out, "y", centre.y);
    out += " text-anchor=\"middle\" dominant-baseline=\"middle\" fill=\"#ffffff\">";
    appendSvgInteger(out, element.markerNumber.value_or(defaultMarkerNumber));
    out += "</text>";
}

void appendUnsupported(std::string &out, const WhiteboardElement &element)
{
    out += "<rect";
    appendFrameAttributes(out, element.frame());
    out += " stroke=\"#ff9500\" fill=\"none\" stroke-dasharray=\"6 4\"/>";
}

void appendRectangle(std::string &out, const WhiteboardElement &element)
{
    out += "<rect";
    appendFrameAttributes(out, element.frame());
    if (element.style.roundnessType) {
        out += " rx=\"16\" ry=\"16\"";
    }
    appendCommonAttributes(out, element.style, false);
    appendRotation(out, element);
    out += "/>";
}

void appendElement(std::string &out, const WhiteboardElement &element, const TextMeasurer &measure)
{
    switch (element.kind) {
    case WhiteboardElementKind::rectangle:
        return appendRectangle(out, element);
    case WhiteboardElementKind::ellipse:
        return appendEllipse(out, element);
    case WhiteboardElementKind::diamond:
        return appendDiamond(out, element);
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        return appendLine(out, element);
    case WhiteboardElementKind::freedraw:
        return appendFreedraw(out, element);
    case WhiteboardElementKind::text:
        return appendText(out, element, measure);
    case WhiteboardElementKind::marker:
        return appendMarker(out, element);
    case WhiteboardElementKind::unsupported:
        return appendUnsupported(out, element);
    }
}

// The axis-aligned box of the element's bounds turned by its rotation about their centre.
RectF rotatedBounds(const WhiteboardElement &element)
{
    const RectF box = pathBox(element).value_or(element.bounds());
    if (element.rotation == 0) {
        return box;
    }
    const PointF centre = rectCenter(box);
    const double cosine = std::cos(element.rotation);
    const double sine = std::sin(element.rotation);
    const std::array<PointF, 4> corners{{{box.x, box.y},
                                         {box.x + box.width, box.y},
                                         {box.x, box.y + box.height},
                                         {box.x + box.width, box.y + box.height}}};
    RectF result;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const double dx = corners[i].x - centre.x;
        const double dy = corners[i].y - centre.y;
        const RectF corner{
            centre.x + dx * cosine - dy * sine, centre.y + dx * sine + dy * cosine, 0, 0};
        result = i == 0 ? corner : unionRect(result, corner);
    }
    return result;
}

} // namespace

RectF whiteboardBoundingRect(const std::vector<ElementPtr> &elements)
{
    if (elements.empty()) {
        return {0, 0, 1, 1};
    }
    RectF united = rotatedBounds(*elements.front());
    for (std::size_t i = 1; i < elements.size(); ++i) {
        united = unionRect(united, rotatedBounds(*elements[i]));
    }
    return insetRect(united, -boundingMargin, -boundingMargin);
}

std::string renderBoardSVG(const WhiteboardBoard &board, const TextMeasurer &measure)
{
    const RectF frame = normalizedRect(whiteboardBoundingRect(board.elements));
    std::string out;
    out.reserve(1024 + board.elements.size() * bytesPerElement);
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"";
    appendSvgNumber(out, frame.x);
    out += ' ';
    appendSvgNumber(out, frame.y);
    out += ' ';
    appendSvgNumber(out, frame.width);
    out += ' ';
    appendSvgNumber(out, frame.height);
    out += "\">\n";
    out += documentDefs;
    out += "  <rect";
    appendFrameAttributes(out, frame);
    const bool black = board.background.kind == WhiteboardBackground::Kind::black;
    appendSvgAttribute(out, "fill", black ? "#000000" : "#ffffff");
    out += "/>\n";
    // Element lines are joined by line feeds, so an empty board leaves one empty line.
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        appendElement(out, *board.elements[i], measure);
    }
    out += "\n</svg>";
    return out;
}

std::string svgForElement(const WhiteboardElement &element, const TextMeasurer &measure)
{
    std::string out;
    appendElement(out, element, measure);
    return out;
}

std::string svgDashAttributes(const WhiteboardElementStyle &style)
{
    std::string out;
    appendDashAttributes(out, style);
    return out;
}

} // namespace zentrel
