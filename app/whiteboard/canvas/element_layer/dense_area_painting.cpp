#include "whiteboard/canvas/element_layer/dense_area_painting.h"

#include "common/qt_path.h"
#include "whiteboard/render/coverage_raster.h"
#include "whiteboard/render/dense_outline.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cstdint>

namespace zentrel {

namespace {

// Paths of fewer elements than this are never that slow, and skip the measuring.
constexpr int denseAreaElements = 256;

std::vector<std::vector<PointF>> polygonsOf(const QList<QPolygonF> &polygons)
{
    std::vector<std::vector<PointF>> result;
    result.reserve(static_cast<std::size_t>(polygons.size()));
    for (const QPolygonF &polygon : polygons) {
        std::vector<PointF> &points = result.emplace_back();
        points.reserve(static_cast<std::size_t>(polygon.size()));
        for (const QPointF point : polygon) {
            points.push_back(toPointF(point));
        }
    }
    return result;
}

// The device pixels `visible` (painter coordinates; all of the device when none) covers.
QRect devicePixels(const QPainter &painter, const std::optional<QRectF> &visible)
{
    if (painter.device() == nullptr) {
        return {};
    }
    const QRect device(0, 0, painter.device()->width(), painter.device()->height());
    if (!visible) {
        return device;
    }
    return painter.combinedTransform().mapRect(*visible).toAlignedRect().intersected(device);
}

// `mask` in `colour`, premultiplied, as Qt paints it.
QImage tinted(const CoverageMask &mask, const QColor &colour)
{
    QImage image(mask.width, mask.height, QImage::Format_ARGB32_Premultiplied);
    const QRgb premultiplied = qPremultiply(colour.rgba());
    for (int y = 0; y < mask.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const std::uint8_t *alpha = mask.alpha.data() + static_cast<std::size_t>(y) * mask.width;
        for (int x = 0; x < mask.width; ++x) {
            const int a = alpha[x];
            line[x] = qRgba(qRed(premultiplied) * a / 255,
                            qGreen(premultiplied) * a / 255,
                            qBlue(premultiplied) * a / 255,
                            qAlpha(premultiplied) * a / 255);
        }
    }
    return image;
}

// Paints `image`, one pixel to a device pixel, at `pixels`.
void drawDeviceImage(QPainter &painter, const QRect &pixels, const QImage &image)
{
    painter.save();
    // Qt scales what is painted by the device's pixel ratio again.
    const qreal ratio = painter.device()->devicePixelRatio();
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.drawImage(pixels.topLeft(), image);
    painter.restore();
}

// Visits the heights each line and curve of `area` spans, a curve's being its control points',
// closing each subpath.
template <typename Visit>
void forEachEdgeOf(const QPainterPath &area, const Visit &visit)
{
    const auto span = [&visit](double a, double b) {
        visit(EdgeHeights{std::min(a, b), std::max(a, b)});
    };
    double start = 0;
    double last = 0;
    const int count = area.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element element = area.elementAt(i);
        if (element.isMoveTo()) {
            span(last, start);
            start = element.y;
        } else if (element.isCurveTo() && i + 2 < count) {
            const double first = area.elementAt(i + 1).y;
            const double end = area.elementAt(i + 2).y;
            span(std::min({last, element.y, first, end}), std::max({last, element.y, first, end}));
            last = end;
            i += 2;
            continue;
        } else {
            span(last, element.y);
        }
        last = element.y;
    }
    span(last, start);
}

} // namespace

bool isDenseArea(const QPainterPath &area)
{
    if (area.elementCount() <= denseAreaElements) {
        return false;
    }
    // The heights each line and curve spans, read off the path as it is: flattening its curves
    // first cost more than an ordinary shape's painting. A curve spans its control points', and
    // all of them the path's control point box, which it keeps for painting anyway.
    const QRectF box = area.controlPointRect();
    return crossesARowMoreThan(denseCrossingsPerRow,
                               box.top(),
                               box.bottom(),
                               static_cast<std::size_t>(area.elementCount()),
                               [&area](const auto &visit) { forEachEdgeOf(area, visit); });
}

void fillDenseArea(QPainter &painter,
                   const QPainterPath &area,
                   const QColor &colour,
                   const std::optional<QRectF> &visible)
{
    // Only the pixels the area can reach: a small area in a large view costs its own size.
    const QRect pixels = painter.combinedTransform()
                             .mapRect(area.controlPointRect())
                             .intersected(devicePixels(painter, visible))
                             .toAlignedRect();
    if (pixels.isEmpty()) {
        return;
    }
    const QTransform toPixels =
        painter.combinedTransform() * QTransform::fromTranslate(-pixels.x(), -pixels.y());
    const CoverageMask mask = rasterizedCoverage(polygonsOf(area.toSubpathPolygons(toPixels)),
                                                 area.fillRule() == Qt::WindingFill,
                                                 pixels.width(),
                                                 pixels.height());
    drawDeviceImage(painter, pixels, tinted(mask, colour));
}

void paintInsideOutline(
    QPainter &painter,
    const std::vector<std::vector<PointF>> &outline,
    const std::optional<QRectF> &visible,
    const std::function<void(QPainter &layer, const QTransform &toLayer)> &paint)
{
    const QRect pixels = devicePixels(painter, visible);
    if (pixels.isEmpty()) {
        return;
    }
    const QTransform toLayer =
        painter.combinedTransform() * QTransform::fromTranslate(-pixels.x(), -pixels.y());
    std::vector<std::vector<PointF>> inLayer;
    inLayer.reserve(outline.size());
    for (const std::vector<PointF> &polygon : outline) {
        std::vector<PointF> &points = inLayer.emplace_back();
        points.reserve(polygon.size());
        for (const PointF point : polygon) {
            points.push_back(toPointF(toLayer.map(toQPointF(point))));
        }
    }
    QImage layer(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter layerPainter(&layer);
    layerPainter.setRenderHints(painter.renderHints());
    paint(layerPainter, toLayer);
    layerPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    layerPainter.setWorldTransform(QTransform());
    layerPainter.drawImage(
        0,
        0,
        tinted(rasterizedCoverage(inLayer, false, pixels.width(), pixels.height()), Qt::black));
    layerPainter.end();
    drawDeviceImage(painter, pixels, layer);
}

} // namespace zentrel
