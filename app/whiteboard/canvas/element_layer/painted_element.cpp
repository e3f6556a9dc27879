#include "whiteboard/canvas/element_layer/painted_element.h"

#include "common/pool_parallel_work.h"
#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/dense_area_painting.h"
#include "whiteboard/canvas/element_layer/hatch_painting.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/render/dense_outline.h"
#include "whiteboard/render/element_render_plan.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace zentrel {

namespace {

// Curves are split finely enough for stroked outlines to stay smooth at five times zoom.
constexpr double strokeCurveThreshold = 0.05;
constexpr std::size_t textLinesPerArea = 32;

QPen penFor(const RenderStroke &stroke)
{
    QPen pen(toQColor(stroke.color));
    pen.setWidthF(stroke.width);
    pen.setCapStyle(stroke.cap == RenderLineCap::round ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(stroke.roundJoin ? Qt::RoundJoin : Qt::MiterJoin);
    if (!stroke.dash.empty()) {
        // Qt measures dashes in line widths.
        QList<qreal> pattern;
        for (const double length : stroke.dash) {
            pattern.append(length / stroke.width);
        }
        pen.setDashPattern(pattern);
    }
    return pen;
}

QPainterPath strokedArea(const RenderStroke &stroke)
{
    QPainterPathStroker stroker(penFor(stroke));
    stroker.setCurveThreshold(strokeCurveThreshold);
    return stroker.createStroke(toQPainterPath(stroke.path));
}

// Qt loads every outline afresh, running the font's hinting program each time, which was most
// of the time a board took to show first; a board's texts share few glyphs, so each thread keeps
// the outlines it loaded.
using GlyphOutlines = std::map<quint32, QPainterPath>;

// The outlines this thread loaded from one font at one size. Only outlines are kept, no font:
// a font may not outlive the thread's own font cache.
GlyphOutlines &glyphOutlines(const QRawFont &font)
{
    using FontKey = std::tuple<QString, QString, double>;
    thread_local std::map<FontKey, GlyphOutlines> fonts;
    return fonts[FontKey{font.familyName(), font.styleName(), font.pixelSize()}];
}

const QPainterPath &glyphOutline(GlyphOutlines &outlines, const QRawFont &font, quint32 glyph)
{
    const auto found = outlines.find(glyph);
    if (found != outlines.end()) {
        return found->second;
    }
    return outlines.emplace(glyph, font.pathForGlyph(glyph)).first->second;
}

// The lines stand where the plan put them. They are shaped in the layout font and scaled to the
// text's size, as they were measured. The glyphs become outlines here: fonts belong to the
// thread that loads them and die with it, while an outline can be painted on any thread at any
// time later.
QPainterPath textOutline(const RenderText &text)
{
    const double scale = whiteboardLayoutScale(text.fontSize);
    if (!(scale > 0) || !std::isfinite(scale) || text.lines.empty()) {
        return {};
    }
    QString string;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        if (i > 0) {
            string += QChar::LineSeparator;
        }
        string += QString::fromStdString(text.lines[i].text);
    }
    QTextLayout layout(string, whiteboardLayoutFont(text.typeface));
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    // Qt keeps line positions in fixed point of small range, so the lines stand relative to the
    // first, which then moves the whole outline into place.
    const PointF base = text.lines.front().origin;
    layout.beginLayout();
    for (const RenderTextLine &line : text.lines) {
        QTextLine laid = layout.createLine();
        if (!laid.isValid()) {
            break;
        }
        laid.setLineWidth(0);
        laid.setPosition({(line.origin.x - base.x) / scale, (line.origin.y - base.y) / scale});
    }
    layout.endLayout();
    // Line by line: the layout's own glyphRuns() merges the runs of all lines into one per font,
    // copying what it merged so far for every line, which a text of many lines waits seconds
    // for. The outline's room is reserved once, rather than grown with every glyph.
    std::vector<std::pair<const QPainterPath *, QPointF>> placed;
    int elementCount = 0;
    for (int line = 0; line < layout.lineCount(); ++line) {
        for (const QGlyphRun &run : layout.lineAt(line).glyphRuns()) {
            const QRawFont font = run.rawFont();
            GlyphOutlines &outlines = glyphOutlines(font);
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                const QPainterPath &glyph = glyphOutline(outlines, font, glyphs[i]);
                placed.emplace_back(&glyph, positions[i]);
                elementCount += glyph.elementCount();
            }
        }
    }
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    outline.reserve(elementCount);
    for (const auto &[glyph, position] : placed) {
        outline.addPath(glyph->translated(position));
    }
    return QTransform::fromTranslate(base.x, base.y).scale(scale, scale).map(outline);
}

// A long text is kept in areas of a few lines each, so a painting fills only the lines it
// shows rather than every glyph of the text. The areas are outlined on the pool's free threads
// as well: a text of a megabyte takes most of a second on one.
void appendTextAreas(const RenderText &text, std::vector<std::pair<QPainterPath, QColor>> &areas)
{
    const QColor colour = toQColor(text.color);
    const std::size_t count = (text.lines.size() + textLinesPerArea - 1) / textLinesPerArea;
    std::vector<QPainterPath> outlines(count);
    const auto outlineArea = [&](std::size_t area) {
        // Made without the lines, as copying them all for every area costs more than the
        // outlines.
        RenderText part{{}, text.typeface, text.fontSize, text.color};
        const std::size_t first = area * textLinesPerArea;
        const auto begin = text.lines.begin() + static_cast<std::ptrdiff_t>(first);
        const std::size_t lines = std::min(textLinesPerArea, text.lines.size() - first);
        part.lines.assign(begin, begin + static_cast<std::ptrdiff_t>(lines));
        outlines[area] = textOutline(part);
    };
    if (count > 1) {
        runInParallel(count, poolThreadCount(), outlineArea);
    } else if (count == 1) {
        outlineArea(0);
    }
    areas.reserve(areas.size() + count);
    for (QPainterPath &outline : outlines) {
        areas.emplace_back(std::move(outline), colour);
    }
}

// Qt (6.4) builds a path's paint data on its first fill, unguarded, in data that its copies
// share: two threads filling copies of one path for the first time would build it at once.
// Moving a point to where it is gives a copy data of its own. Needless once Qt guards that data.
QPainterPath detached(const QPainterPath &path)
{
    QPainterPath copy = path;
    if (copy.elementCount() > 0) {
        const QPainterPath::Element first = copy.elementAt(0);
        copy.setElementPositionAt(0, first.x, first.y);
    }
    return copy;
}

// Whether `area` can reach `visible`; touching counts, and a path without extent still paints
// its caps.
bool reachesArea(const QPainterPath &area, const QRectF &visible)
{
    const QRectF box = area.controlPointRect();
    return box.left() <= visible.right() && visible.left() <= box.right()
           && box.top() <= visible.bottom() && visible.top() <= box.bottom();
}

} // namespace

PaintedElement paintedElement(const WhiteboardElement &element, double viewportScale)
{
    return paintedPlan(elementRenderPlan(
        element, elementRenderRoughness(element), viewportScale, whiteboardLineMeasurer()));
}

PaintedElement paintedPlan(const ElementRenderPlan &plan)
{
    PaintedElement painted;
    if (plan.rotation != 0) {
        painted.placement = QTransform()
                                .translate(plan.centre.x, plan.centre.y)
                                .rotateRadians(plan.rotation)
                                .translate(-plan.centre.x, -plan.centre.y);
    }
    if (plan.fillColor) {
        painted.areas.emplace_back(toQPainterPath(plan.fillPath), toQColor(*plan.fillColor));
    }
    if (plan.hatch) {
        painted.hatch =
            PaintedHatch{plan.hatchFill ? std::vector<QPolygonF>()
                                        : hatchLineQuads(plan.hatch->path, plan.hatch->width),
                         plan.hatchFill,
                         plan.hatch->width,
                         toQColor(plan.hatch->color),
                         painted.areas.size()};
    }
    if (plan.stroke) {
        QPainterPath area = strokedArea(*plan.stroke);
        // One area, so a translucent head is not darker where its outline covers its inside.
        if (!plan.headFill.isEmpty()) {
            area = area.united(toQPainterPath(plan.headFill));
        }
        painted.areas.emplace_back(std::move(area), toQColor(plan.stroke->color));
    }
    // The shape's fill and outline only: the text's areas, which come next, are small glyphs.
    // The outline is told by its line, of far fewer pieces to count.
    for (std::size_t i = 0; i < painted.areas.size(); ++i) {
        const bool isOutline = plan.stroke && i + 1 == painted.areas.size();
        if (isOutline ? isDenseStroke(plan.stroke->path) : isDenseArea(painted.areas[i].first)) {
            painted.denseAreas.resize(painted.areas.size());
            painted.denseAreas[i] = true;
        }
    }
    if (plan.text) {
        appendTextAreas(*plan.text, painted.areas);
    }
    // Bounds are worked out now, while no other thread shares the paths, so culling them later
    // only reads what is kept.
    for (const auto &area : painted.areas) {
        (void)area.first.controlPointRect();
    }
    return painted;
}

PaintedElement movedBy(const PaintedElement &element, QPointF offset)
{
    PaintedElement moved = element;
    moved.placement = element.placement.value_or(QTransform())
                      * QTransform::fromTranslate(offset.x(), offset.y());
    return moved;
}

void paintElement(QPainter &painter, const PaintedElement &element, AreaPaths paths)
{
    if (element.placement) {
        painter.save();
        painter.setTransform(*element.placement, true);
    }
    const std::optional<QRectF> visible =
        painter.hasClipping() ? std::optional(painter.clipBoundingRect()) : std::nullopt;
    const auto &hatch = element.hatch;
    for (std::size_t i = 0; i < element.areas.size(); ++i) {
        if (hatch && hatch->before == i) {
            paintHatch(painter, *hatch, visible);
        }
        const auto &[area, colour] = element.areas[i];
        if (visible && !reachesArea(area, *visible)) {
            continue;
        }
        if (i < element.denseAreas.size() && element.denseAreas[i]) {
            fillDenseArea(painter, area, colour, visible);
        } else {
            painter.fillPath(paths == AreaPaths::ownCopies ? detached(area) : area, colour);
        }
    }
    if (hatch && hatch->before >= element.areas.size()) {
        paintHatch(painter, *hatch, visible);
    }
    if (element.placement) {
        painter.restore();
    }
}

} // namespace zentrel
