#pragma once

#include <QRectF>

#include <vector>

class QPainter;
class QPalette;

namespace zentrel {

// The pattern behind a colour choice that stands for "no colour": 7-point squares in a faint
// secondary colour over a fainter primary wash, filling whatever frame it is given.

// The filled squares for a frame of `size`, from the top-left corner. The last row and column are
// included even where they lie partly or wholly outside; the caller clips.
std::vector<QRectF> checkerboardSquares(QSizeF size);

void paintCheckerboard(QPainter &painter, const QRectF &frame, const QPalette &palette);

} // namespace zentrel
