#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

#include <vector>

namespace zentrel {

// A pan by whole device pixels, less than the view in each direction, can move a cached picture
// of the view; any other must paint it afresh.
bool canScrollViewImage(double dx, double dy, QSize viewSize, qreal pixelRatio);

// Moves the picture in `image` of a view of `viewSize` points by (dx, dy) view points, in place,
// and returns the strips it uncovered, in view points; they are clear until the caller paints
// them.
std::vector<QRectF> scrollViewImage(QImage &image, QSize viewSize, double dx, double dy);

} // namespace zentrel
