#include "capture/capture_geometry.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// Crop edges computed as W × d / zoom land a hair beyond a whole pixel; without this slack
// rounding outwards would add a column of neighbouring pixels.
constexpr double pixelSlack = 1e-9;

// Qt rounds each side of a screen to whole points, so the exact side is less than one away.
bool roundsTo(double exact, double rounded)
{
    return std::abs(exact - rounded) < 1;
}

bool hasArea(const RectF &rect)
{
    return rect.width > 0 && rect.height > 0;
}

} // namespace

RectF squareAround(PointF centre, double halfSide)
{
    return {centre.x - halfSide, centre.y - halfSide, 2 * halfSide, 2 * halfSide};
}

RectF united(const RectF &a, const RectF &b)
{
    if (!hasArea(a)) {
        return b;
    }
    if (!hasArea(b)) {
        return a;
    }
    const double left = std::min(a.x, b.x);
    const double top = std::min(a.y, b.y);
    const double right = std::max(a.x + a.width, b.x + b.width);
    const double bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

PixelRect enclosingPixels(const RectF &rect, int imageWidth, int imageHeight)
{
    if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width)
        || !std::isfinite(rect.height) || !hasArea(rect)) {
        return {};
    }
    const double left = std::max(std::floor(rect.x + pixelSlack), 0.0);
    const double top = std::max(std::floor(rect.y + pixelSlack), 0.0);
    const double right = std::min(std::ceil(rect.x + rect.width - pixelSlack), double(imageWidth));
    const double bottom =
        std::min(std::ceil(rect.y + rect.height - pixelSlack), double(imageHeight));
    if (right <= left || bottom <= top) {
        return {};
    }
    return {int(left), int(top), int(right - left), int(bottom - top)};
}

SizeF screenSizeInPoints(SizeF geometrySize, int pixelWidth, int pixelHeight, double pixelRatio)
{
    // Written so that a NaN ratio is refused too; an infinite one gives a size that fits none.
    if (!(pixelRatio > 0)) {
        return geometrySize;
    }
    const SizeF exact{pixelWidth / pixelRatio, pixelHeight / pixelRatio};
    if (!roundsTo(exact.width, geometrySize.width)
        || !roundsTo(exact.height, geometrySize.height)) {
        return geometrySize;
    }
    return exact;
}

} // namespace zentrel
