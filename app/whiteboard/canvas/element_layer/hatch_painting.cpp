#include "whiteboard/canvas/element_layer/hatch_painting.h"

#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/dense_area_painting.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// Qt fills a long thin polygon far more slowly than the same polygon in short pieces: a view
// full of whole hatch lines took it hundreds of milliseconds, in pieces of this many rows a few.
constexpr double hatchPieceRows = 32;

// The part of a convex polygon on one side of the row boundary y = `row`: below it or above.
QPolygonF cutAtRow(const QPolygonF &polygon, double row, bool keepBelow)
{
    QPolygonF kept;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i];
        const QPointF b = polygon[(i + 1) % polygon.size()];
        const bool aKept = keepBelow ? a.y() >= row : a.y() <= row;
        const bool bKept = keepBelow ? b.y() >= row : b.y() <= row;
        if (aKept) {
            kept << a;
        }
        if (aKept != bKept) {
            kept << QPointF(a.x() + (row - a.y()) / (b.y() - a.y()) * (b.x() - a.x()), row);
        }
    }
    return kept;
}

// Fills a convex polygon given in device pixels in pieces of at most hatchPieceRows rows, within
// `rows`. Cut on pixel boundaries, the pieces cover each pixel exactly as the whole would, so
// painting in bands or at once gives the same pixels.
void fillInRowPieces(QPainter &painter, const QPolygonF &polygon, const QRectF &rows)
{
    const QRectF box = polygon.boundingRect();
    const double last = std::min(box.bottom(), rows.bottom());
    for (double top = std::floor(std::max(box.top(), rows.top()) / hatchPieceRows) * hatchPieceRows;
         top < last;
         top += hatchPieceRows) {
        const QPolygonF piece = cutAtRow(cutAtRow(polygon, top, true), top + hatchPieceRows, false);
        if (piece.size() >= 3) {
            painter.drawConvexPolygon(piece);
        }
    }
}

} // namespace

std::vector<QPolygonF> hatchLineQuads(const Path &lines, double width)
{
    std::vector<QPolygonF> quads;
    const auto &elements = lines.elements();
    quads.reserve(elements.size() / 2);
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        const QPointF from = toQPointF(elements[i].points[0]);
        const QPointF to = toQPointF(elements[i + 1].points[0]);
        const QPointF along = to - from;
        const double length = std::hypot(along.x(), along.y());
        if (!(length > 0)) {
            continue;
        }
        const QPointF side(-along.y() / length * width / 2, along.x() / length * width / 2);
        quads.push_back(QPolygonF{from + side, to + side, to - side, from - side});
    }
    return quads;
}

void paintHatch(QPainter &painter, const PaintedHatch &hatch, const std::optional<QRectF> &visible)
{
    const QTransform toDevice = painter.combinedTransform();
    QRectF device;
    if (painter.device() != nullptr) {
        device = QRectF(0, 0, painter.device()->width(), painter.device()->height());
    }
    std::vector<QPolygonF> made;
    bool clipped = false;
    if (hatch.fill) {
        QRectF window = visible.value_or(toDevice.inverted().mapRect(device));
        window.adjust(-hatch.width, -hatch.width, hatch.width, hatch.width);
        const RectF part = toRectF(window);
        made = hatchLineQuads(hatchLines(*hatch.fill, part), hatch.width);
        clipped = hatchNeedsClip(*hatch.fill, part);
    }
    if (clipped) {
        paintInsideOutline(
            painter, hatch.fill->outline, visible, [&](QPainter &layer, const QTransform &toLayer) {
                layer.setPen(Qt::NoPen);
                layer.setBrush(hatch.colour);
                const QRectF all(0, 0, layer.device()->width(), layer.device()->height());
                for (const QPolygonF &line : made) {
                    fillInRowPieces(layer, toLayer.map(line), all);
                }
            });
        return;
    }
    const QRectF rows = visible ? toDevice.mapRect(*visible) : device;
    painter.save();
    // In device pixels from here (the canvas's painters set no window or viewport); Qt scales
    // what is painted by the device's pixel ratio again.
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1;
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.setPen(Qt::NoPen);
    painter.setBrush(hatch.colour);
    for (const QPolygonF &line : hatch.fill ? made : hatch.lines) {
        if (!visible || visible->intersects(line.boundingRect())) {
            fillInRowPieces(painter, toDevice.map(line), rows);
        }
    }
    painter.restore();
}

} // namespace zentrel
