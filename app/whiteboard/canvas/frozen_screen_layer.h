#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QSize>

class QPainter;

namespace zentrel {

// The frozen screen of Zevizu & Vozurir as the view shows it: under the board's viewport, like
// the marks on it. Scaling the whole screen on every pan step costs more than a frame allows, so
// the scaled picture is kept; a pan by whole pixels scrolls it and scales only the strips it
// uncovers.
class FrozenScreenLayer
{
public:
    // Makes the picture of the screen for a view of `viewSize` points. `sceneSize` is the scene
    // area the screen fills from the scene origin; outside it the view is black.
    void prepare(const QImage &screen,
                 SizeF sceneSize,
                 const WhiteboardViewport &viewport,
                 QSize viewSize,
                 qreal pixelRatio);
    // Paints the prepared picture; several threads may paint it at once.
    void paint(QPainter &painter) const;

private:
    void repaint(const QRectF &viewArea, const QImage &screen);
    void paintScreen(QPainter &painter, const QRectF &viewArea, const QImage &screen) const;

    QImage m_view;
    qint64 m_screenKey = 0;
    SizeF m_sceneSize;
    WhiteboardViewport m_viewport;
};

} // namespace zentrel
