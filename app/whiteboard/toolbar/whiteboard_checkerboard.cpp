#include "whiteboard/toolbar/whiteboard_checkerboard.h"

#include "panels/panel_style.h"

#include <QPainter>
#include <QPalette>

#include <cmath>

namespace zentrel {

namespace {

constexpr double squareSide = 7;
constexpr double squareOpacity = 0.16;
constexpr double washOpacity = 0.03;

} // namespace

std::vector<QRectF> checkerboardSquares(QSizeF size)
{
    std::vector<QRectF> filled;
    const int rows = static_cast<int>(std::floor(size.height() / squareSide));
    const int columns = static_cast<int>(std::floor(size.width() / squareSide));
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            if ((row + column) % 2 == 0) {
                filled.emplace_back(column * squareSide, row * squareSide, squareSide, squareSide);
            }
        }
    }
    return filled;
}

void paintCheckerboard(QPainter &painter, const QRectF &frame, const QPalette &palette)
{
    painter.save();
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.fillRect(frame, withOpacity(panelPrimaryColor(palette), washOpacity));
    const QColor square = withOpacity(panelSecondaryColor(palette), squareOpacity);
    for (const QRectF &rect : checkerboardSquares(frame.size())) {
        painter.fillRect(rect.translated(frame.topLeft()), square);
    }
    painter.restore();
}

} // namespace zentrel
