#pragma once

#include "common/geometry.h"
#include "common/path.h"

#include <QPainterPath>
#include <QRectF>
#include <QSizeF>

namespace zentrel {

QPainterPath toQPainterPath(const Path &path);

inline QPointF toQPointF(PointF point)
{
    return QPointF(point.x, point.y);
}

inline PointF toPointF(QPointF point)
{
    return PointF{point.x(), point.y()};
}

inline QRectF toQRectF(const RectF &rect)
{
    return QRectF(rect.x, rect.y, rect.width, rect.height);
}

inline RectF toRectF(const QRectF &rect)
{
    return RectF{rect.x(), rect.y(), rect.width(), rect.height()};
}

inline SizeF toSizeF(QSizeF size)
{
    return SizeF{size.width(), size.height()};
}

} // namespace zentrel
