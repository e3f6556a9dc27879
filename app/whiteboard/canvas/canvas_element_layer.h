#pragma once

#include "whiteboard/canvas/element_paint_cache.h"
#include "whiteboard/model/uuid.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <cstddef>
#include <optional>
#include <vector>

class QPainter;

namespace zentrel {

// What the element layer shows: a board's elements under its viewport, less the one an open
// text editor shows instead.
struct CanvasElementScene
{
    Uuid boardID;
    const std::vector<ElementPtr> *elements = nullptr;
    WhiteboardViewport viewport;
    std::optional<Uuid> hiddenID;
    bool dragging = false; // a drag moves part of the board on every pointer event
};

// The board's elements painted into a cached transparent image of the view, brought up to date
// with the least work each change needs: a pan scrolls the image and paints the uncovered strips,
// an edit repaints around what changed, and during a drag the elements below and above the moving
// range wait in images of their own while only that range is painted afresh.
class CanvasElementLayer
{
public:
    // Paints the elements at the painter's origin, over a view of `viewSize` points.
    void
    paint(QPainter &painter, const CanvasElementScene &scene, QSize viewSize, qreal pixelRatio);

private:
    struct Split
    {
        std::vector<ElementPtr> elements; // the board when the split was made
        std::size_t first = 0;            // the live range, inclusive
        std::size_t last = 0;
        QImage below;
        QImage above;
    };

    void bringUpToDate(const CanvasElementScene &scene);
    bool finishSplit(const CanvasElementScene &scene);
    bool scroll(const CanvasElementScene &scene);
    bool repaintChangedArea(const CanvasElementScene &scene);
    void repaintAll(const CanvasElementScene &scene);
    // Makes sure the split's images hold everything outside the range that changed since the
    // drag began; false when nothing moved yet.
    bool updateSplit(const CanvasElementScene &scene);
    QImage blankImage() const;
    QRectF viewRect() const;
    // Repaints `viewArea` of `image` with the elements in [first, last) that reach it.
    void repaint(QImage &image,
                 const CanvasElementScene &scene,
                 const QRectF &viewArea,
                 std::size_t first,
                 std::size_t last);
    void paintRange(QPainter &painter,
                    const CanvasElementScene &scene,
                    const QRectF &viewArea,
                    std::size_t first,
                    std::size_t last);

    ElementPaintCache m_cache;
    ElementBoundsIndex m_bounds;
    QImage m_image;
    bool m_isValid = false;
    QSize m_viewSize;
    qreal m_pixelRatio = 1;
    Uuid m_boardID;
    std::vector<ElementPtr> m_elements; // what m_image shows
    WhiteboardViewport m_viewport;
    std::optional<Uuid> m_hiddenID;
    std::optional<Split> m_split;
};

} // namespace zentrel
