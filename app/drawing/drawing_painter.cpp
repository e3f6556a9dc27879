#include "drawing/drawing_painter.h"

#include "common/hand_drawn_font.h"
#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "drawing/drawing_canvas_model.h"

#include <QPainter>

namespace zentrel {
namespace {

// QPainter has no shadow: a few widening, faint strokes of the same path stand in for the blur.
constexpr int shadowSteps = 4;

void paintShadow(QPainter &painter,
                 const QPainterPath &path,
                 double width,
                 const DrawingShadow &shadow,
                 bool filled)
{
    QColor color = toQColor(shadow.color);
    color.setAlphaF(color.alphaF() / shadowSteps);
    for (int step = 1; step <= shadowSteps; ++step) {
        const double spread = shadow.blurRadius * step / shadowSteps;
        painter.setPen(QPen(color, width + 2 * spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(filled ? QBrush(color) : Qt::NoBrush);
        painter.drawPath(path);
    }
}

void strokePass(QPainter &painter, const StrokePass &pass)
{
    const bool round = pass.roundCapsAndJoins;
    painter.setPen(QPen(toQColor(pass.color),
                        pass.width,
                        Qt::SolidLine,
                        round ? Qt::RoundCap : Qt::SquareCap,
                        round ? Qt::RoundJoin : Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(toQPainterPath(pass.path));
}

} // namespace

DrawingPainter::DrawingPainter(ContrastOptions contrast)
    : m_contrast(contrast)
{}

void DrawingPainter::paintItems(QPainter &painter,
                                const DrawingCanvasModel &model,
                                Timestamp now) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    for (const DrawingCanvasItem &item : model.history().items) {
        if (const auto *stroke = std::get_if<DrawingStroke>(&item)) {
            paintStroke(painter, *stroke, fadeAlpha(*stroke, now));
        } else {
            paintMarker(painter, std::get<NumberedMarker>(item), model.lineWidth(), 1.0);
        }
    }
}

void DrawingPainter::paintActiveStroke(QPainter &painter, const DrawingCanvasModel &model) const
{
    if (model.activeStroke()) {
        painter.setRenderHint(QPainter::Antialiasing);
        paintStroke(painter, *model.activeStroke(), 1.0);
    }
}

void DrawingPainter::paintStroke(QPainter &painter, const DrawingStroke &stroke, double alpha) const
{
    if (const auto style = strokeStyle(stroke, alpha, m_contrast)) {
        paintStyle(painter, *style);
    }
}

void DrawingPainter::paintStyle(QPainter &painter, const StrokeStyle &style) const
{
    if (style.shadow) {
        paintShadow(
            painter, toQPainterPath(style.stroke.path), style.stroke.width, *style.shadow, false);
    }
    if (style.outline) {
        strokePass(painter, *style.outline);
    }
    strokePass(painter, style.stroke);
}

void DrawingPainter::paintActiveStroke(QPainter &painter,
                                       const DrawingCanvasModel &model,
                                       const QRectF &area) const
{
    const auto &active = model.activeStroke();
    if (!active || active->tool != DrawingTool::freehand) {
        paintActiveStroke(painter, model);
        return;
    }
    // Every run of points near the area, with one neighbour on each side so the curve through
    // them is the one the whole stroke has there; the passes keep their order across runs.
    const double reach =
        outlineWidth(active->lineWidth) + 2 * drawingShadow(active->lineWidth, 1).blurRadius;
    const QRectF near = area.adjusted(-reach, -reach, reach, reach);
    const std::vector<PointF> &points = active->points;
    Path pieces;
    DrawingStroke run = *active;
    for (std::size_t index = 0; index < points.size(); ++index) {
        if (!near.contains(toQPointF(points[index]))) {
            continue;
        }
        const std::size_t first = index > 0 ? index - 1 : 0;
        while (index + 1 < points.size() && near.contains(toQPointF(points[index + 1]))) {
            ++index;
        }
        const std::size_t last = std::min(index + 1, points.size() - 1);
        run.points.assign(points.begin() + static_cast<std::ptrdiff_t>(first),
                          points.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        pieces.append(strokeGeometry(run, active->lineWidth));
    }
    auto style = strokeStyle(*active, 1.0, m_contrast);
    if (!style || pieces.isEmpty()) {
        return;
    }
    style->stroke.path = pieces;
    if (style->outline) {
        style->outline->path = pieces;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintStyle(painter, *style);
}

void DrawingPainter::paintMarker(QPainter &painter,
                                 const NumberedMarker &marker,
                                 double lineWidth,
                                 double alpha) const
{
    const auto style = markerStyle(marker, lineWidth, alpha, m_contrast);
    if (!style) {
        return;
    }
    if (style->shadow) {
        QPainterPath disc;
        disc.addEllipse(toQRectF(style->disc.bounds));
        paintShadow(painter, disc, 0, *style->shadow, true);
    }
    painter.setPen(Qt::NoPen);
    if (style->ring) {
        painter.setBrush(toQColor(style->ring->color));
        painter.drawEllipse(toQRectF(style->ring->bounds));
    }
    painter.setBrush(toQColor(style->disc.color));
    painter.drawEllipse(toQRectF(style->disc.bounds));
    painter.setFont(handDrawnFont(style->fontSize));
    painter.setPen(toQColor(style->textColor));
    const QString text = QString::fromStdString(style->text);
    const QRectF measured = painter.fontMetrics().boundingRect(text);
    QRectF box(QPointF(0, 0), measured.size());
    box.moveCenter(toQPointF(style->textCenter));
    painter.drawText(box, Qt::AlignCenter, text);
}

} // namespace zentrel
