#include "whiteboard/canvas/element_layer/board_grid_painting.h"

#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/canvas_backdrop.h"

#include <QList>
#include <QPainter>

#include <algorithm>

namespace zentrel {

BoardGridLines boardGridLines(const WhiteboardBoard &board)
{
    if (!board.showsGrid || board.background.kind == WhiteboardBackground::Kind::image) {
        return BoardGridLines::none;
    }
    return board.background.kind == WhiteboardBackground::Kind::black ? BoardGridLines::onBlack
                                                                      : BoardGridLines::onWhite;
}

void paintBoardGrid(QPainter &painter,
                    const QRectF &area,
                    const WhiteboardViewport &viewport,
                    BoardGridLines lines,
                    qreal pixelRatio)
{
    if (lines == BoardGridLines::none) {
        return;
    }
    // The lines reach past the area, so that none ends inside it wherever the area lies.
    const QRectF reach = area.adjusted(-2, -2, 2, 2);
    const BoardGrid grid = boardGrid(toRectF(reach), viewport, lines == BoardGridLines::onBlack);
    QList<QLineF> segments;
    const auto &elements = grid.lines.elements();
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        segments.append(QLineF(toQPointF(viewport.toView(elements[i].points[0])),
                               toQPointF(viewport.toView(elements[i + 1].points[0]))));
    }
    const double deviceWidth = grid.lineWidth * viewport.scale * pixelRatio;
    QColor colour = toQColor(grid.color);
    colour.setAlphaF(colour.alphaF() * std::min(deviceWidth, 1.0));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colour, 0));
    painter.drawLines(segments);
    painter.restore();
}

} // namespace zentrel
