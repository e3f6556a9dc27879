#pragma once

#include "whiteboard/canvas/canvas_backdrop.h"
#include "whiteboard/canvas/frozen_screen_layer.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QSize>

class QPainter;

namespace zentrel {

// What lies under a board's elements and its grid: white or black with a faint paper texture,
// or the frozen screen of Zevizu & Vozurir. The texture depends only on the view's size, so it
// is made once per size and colour. The grid moves with the elements, so the element layer
// paints it (board_grid_painting.h).
class CanvasBackdropPainter
{
public:
    // Makes the picture of the backdrop for a view of `viewSize` points; `sceneSize` is the scene
    // area the frozen screen fills from the scene origin.
    void prepare(const WhiteboardBoard &board, SizeF sceneSize, QSize viewSize, qreal pixelRatio);
    // Paints the prepared backdrop; several threads may paint it at once.
    void paint(QPainter &painter) const;

private:
    void preparePaper(QSize viewSize, qreal pixelRatio, bool black);

    QImage m_paper;
    bool m_paperIsBlack = false;
    bool m_showsScreen = false;
    FrozenScreenLayer m_frozenScreen;
};

// Paints the paper texture of a view in its points.
void paintPaperTexture(QPainter &painter, const PaperTexture &texture);

} // namespace zentrel
