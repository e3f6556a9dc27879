#include "whiteboard/canvas/view_image_scroll.h"

#include <QPainter>

#include <cmath>

namespace zentrel {

namespace {

bool isWholePixelStep(double points, qreal pixelRatio)
{
    const double pixels = points * pixelRatio;
    return std::abs(pixels - std::round(pixels)) < 1e-6;
}

} // namespace

bool canScrollViewImage(double dx, double dy, QSize viewSize, qreal pixelRatio)
{
    return isWholePixelStep(dx, pixelRatio) && isWholePixelStep(dy, pixelRatio)
           && std::abs(dx) < viewSize.width() && std::abs(dy) < viewSize.height();
}

std::vector<QRectF> scrollViewImage(QImage &image, QSize viewSize, double dx, double dy)
{
    QImage scrolled(image.size(), image.format());
    scrolled.setDevicePixelRatio(image.devicePixelRatio());
    scrolled.fill(Qt::transparent);
    {
        QPainter painter(&scrolled);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(dx, dy), image);
    }
    image = std::move(scrolled);
    const QSizeF view(viewSize);
    std::vector<QRectF> uncovered;
    if (dx > 0) {
        uncovered.emplace_back(0, 0, dx, view.height());
    } else if (dx < 0) {
        uncovered.emplace_back(view.width() + dx, 0, -dx, view.height());
    }
    if (dy > 0) {
        uncovered.emplace_back(0, 0, view.width(), dy);
    } else if (dy < 0) {
        uncovered.emplace_back(0, view.height() + dy, view.width(), -dy);
    }
    return uncovered;
}

} // namespace zentrel
