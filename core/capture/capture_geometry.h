#pragma once

#include "common/geometry.h"
#include "common/pixel_rect.h"

#include <optional>

namespace zentrel {

// The square of side 2 × halfSide centred on centre.
RectF squareAround(PointF centre, double halfSide);

// Smallest rectangle holding both; an empty (zero-area) rectangle counts as absent.
RectF united(const RectF &a, const RectF &b);

// The smallest whole-pixel rectangle holding rect, cut to the image (0, 0, width, height).
PixelRect enclosingPixels(const RectF &rect, int imageWidth, int imageHeight);

// The size in points of the screen a picture of `pixelWidth` × `pixelHeight` shows at
// `pixelRatio` pixels a point. Qt gives a screen's size in whole points (`geometrySize`), rounded
// where the scale does not divide the pixels: 1280 pixels at 150 % are 853⅓ points, given as 853.
// Laid over its exact size, the picture meets each pixel of the screen with one of its own. A
// picture that is not of a screen of `geometrySize` leaves that size as it is.
SizeF screenSizeInPoints(SizeF geometrySize, int pixelWidth, int pixelHeight, double pixelRatio);

// Redraw request of a feature view: nullopt asks for the whole view, an empty rectangle for
// nothing at all.
using RedrawArea = std::optional<RectF>;

} // namespace zentrel
