#include "whiteboard/canvas/element_layer/view_image_scroll.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    // In place, row by row, so a pan step allocates no full-screen image of its own. Rows are
    // taken in the order that reads each before it is overwritten.
    const qreal ratio = image.devicePixelRatio();
    const int shiftX = int(std::lround(dx * ratio));
    const int shiftY = int(std::lround(dy * ratio));
    const int bytesPerPixel = image.depth() / 8;
    const int width = image.width();
    const int height = image.height();
    const auto movedBytes = std::size_t(std::max(width - std::abs(shiftX), 0)) * bytesPerPixel;
    const auto rowBytes = std::size_t(width) * bytesPerPixel;
    const auto moveRow = [&](int to) {
        uchar *target = image.scanLine(to);
        const int from = to - shiftY;
        if (from < 0 || from >= height) {
            std::memset(target, 0, rowBytes);
            return;
        }
        std::memmove(target + std::max(shiftX, 0) * bytesPerPixel,
                     image.constScanLine(from) + std::max(-shiftX, 0) * bytesPerPixel,
                     movedBytes);
        const std::size_t cleared = rowBytes - movedBytes;
        std::memset(target + (shiftX > 0 ? 0 : movedBytes), 0, cleared);
    };
    if (shiftY > 0) {
        for (int y = height - 1; y >= 0; --y) {
            moveRow(y);
        }
    } else {
        for (int y = 0; y < height; ++y) {
            moveRow(y);
        }
    }
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
