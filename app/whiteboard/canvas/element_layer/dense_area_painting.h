#pragma once

#include "common/geometry.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>

#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace zentrel {

// Qt's antialiased fill costs the square of how often an outline crosses each pixel row: an
// outline of thousands of teeth took it minutes. Such areas are rasterised by coverage instead
// (rasterizedCoverage), only the part a painting shows, which costs those crossings once.

// Whether Qt's own fill of `area` would be that slow.
bool isDenseArea(const QPainterPath &area);

// Fills `area` in `colour` where `visible` (the painter's clip, in its coordinates; none for all
// of its device) shows, through its rasterised coverage.
void fillDenseArea(QPainter &painter,
                   const QPainterPath &area,
                   const QColor &colour,
                   const std::optional<QRectF> &visible);

// Runs `paint` on a layer over the part of the device `visible` shows, with a painter like
// `painter` but in that layer's device pixels, then paints the layer where the even-odd inside
// of `outline` (painter coordinates) covers it.
void paintInsideOutline(
    QPainter &painter,
    const std::vector<std::vector<PointF>> &outline,
    const std::optional<QRectF> &visible,
    const std::function<void(QPainter &layer, const QTransform &toLayer)> &paint);

} // namespace zentrel
