#include "whiteboard/canvas/element_layer/painted_element.h"

#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/dense_area_painting.h"
#include "whiteboard/canvas/element_layer/hatch_painting.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/render/dense_outline.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace zentrel {

namespace {

// Curves are split finely enough for stroked outlines to stay smooth at five times zoom.
constexpr double strokeCurveThreshold = 0.05;

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
    // The outline is told by its line, of far fewer pieces to count.
    for (std::size_t i = 0; i < painted.areas.size(); ++i) {
        const bool isOutline = plan.stroke && i + 1 == painted.areas.size();
        if (isOutline ? isDenseStroke(plan.stroke->path) : isDenseArea(painted.areas[i].first)) {
            painted.denseAreas.resize(painted.areas.size());
            painted.denseAreas[i] = true;
        }
    }
    if (plan.text) {
        painted.text = std::make_shared<const PaintedText>(paintedText(*plan.text));
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
        if (visible && !boxReaches(area.controlPointRect(), *visible)) {
            continue;
        }
        if (i < element.denseAreas.size() && element.denseAreas[i]) {
            fillDenseArea(painter, area, colour, visible);
        } else {
            painter.fillPath(pathToFill(area, paths), colour);
        }
    }
    if (hatch && hatch->before >= element.areas.size()) {
        paintHatch(painter, *hatch, visible);
    }
    if (element.text) {
        paintText(painter, *element.text, visible, paths);
    }
    if (element.placement) {
        painter.restore();
    }
}

} // namespace zentrel
