#pragma once

#include "whiteboard/model/whiteboard_board.h"

#include <QRectF>

class QPainter;

namespace zentrel {

// The board's grid, drawn under its elements: none, or the lines of a white or a black board.
enum class BoardGridLines {
    none,
    onWhite,
    onBlack,
};

BoardGridLines boardGridLines(const WhiteboardBoard &board);

// Paints the grid lines over `area`, in the painter's points, which `viewport` maps scene points
// to; the painter's device has `pixelRatio` pixels a point. The lines are drawn one device pixel
// wide with their alpha thinned by the half point's share of the pixel: the look of antialiased
// half-point lines at a small part of their cost.
void paintBoardGrid(QPainter &painter,
                    const QRectF &area,
                    const WhiteboardViewport &viewport,
                    BoardGridLines lines,
                    qreal pixelRatio);

} // namespace zentrel
