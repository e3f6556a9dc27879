#pragma once

#include "common/geometry.h"

#include <optional>

namespace zentrel {

// A rectangle of whole pixels in an image, origin top left.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool isEmpty() const { return width <= 0 || height <= 0; }

    friend bool operator==(const PixelRect &, const PixelRect &) = default;
};

// The square of side 2 × halfSide centred on centre.
RectF squareAround(PointF centre, double halfSide);

// Smallest rectangle holding both; an empty (zero-area) rectangle counts as absent.
RectF united(const RectF &a, const RectF &b);

// The smallest whole-pixel rectangle holding rect, cut to the image (0, 0, width, height).
PixelRect enclosingPixels(const RectF &rect, int imageWidth, int imageHeight);

// Redraw request of a feature view: nullopt asks for the whole view, an empty rectangle for
// nothing at all.
using RedrawArea = std::optional<RectF>;

} // namespace zentrel
