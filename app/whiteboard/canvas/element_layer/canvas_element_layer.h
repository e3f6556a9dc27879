#pragma once

#include "common/uuid.h"
#include "whiteboard/canvas/element_layer/background_element_paint.h"
#include "whiteboard/canvas/element_layer/board_grid_painting.h"
#include "whiteboard/canvas/element_layer/element_paint_cache.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <QTransform>

#include <chrono>
#include <cstddef>
#include <functional>
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
    BoardGridLines grid = BoardGridLines::none; // under the elements, moving with them
    // Paints what lies under the grid and the elements (opaque, the whole view); several threads
    // may call it at once.
    std::function<void(QPainter &)> paintBackdrop;
};

// When a paint after a zoom shows the elements sharp.
enum class CanvasSharpness {
    // At once, however long that takes.
    now,
    // The last sharp picture rescaled until a sharp one, begun at once on pool threads, is ready.
    soon,
    // The last sharp picture rescaled; a sharp one is begun only once that covers too little of
    // the view. For zoom steps in a row, whose pictures would be stale before they are done.
    whenUncovered,
};

// The board's grid and elements painted into a cached transparent picture that reaches a margin
// beyond the view, brought up to date with the least work each change needs: a pan moves the view
// within the picture, now and then the picture is scrolled to have the view in its middle again,
// and the margins that uncovers are painted on pool threads, ahead of the view; an edit repaints
// around what changed; during a drag the elements below and above the moving range wait in images
// of their own while only that range is painted afresh. A zoom step shows the last sharp picture
// rescaled while a sharp one is painted in the background.
class CanvasElementLayer
{
public:
    // `onPictureReady` is called, on a pool thread or during paint(), once a picture painted in
    // the background can be shown: the view should paint again. What it keeps to paint
    // elements holds about `cacheBytes` at most.
    explicit CanvasElementLayer(std::function<void()> onPictureReady,
                                std::size_t cacheBytes = elementPaintCacheBytes);

    // Paints the backdrop and the elements into `frame`, a picture of a view of `viewSize`
    // points.
    void paint(QImage &frame,
               const CanvasElementScene &scene,
               QSize viewSize,
               CanvasSharpness sharpness);

    // Begins painting on pool threads what the first paint of `scene` in a view of `viewSize`
    // points shows, so that it finds the picture ready; nothing once it has painted.
    void prepareAhead(const CanvasElementScene &scene, QSize viewSize, qreal pixelRatio);

    // Lets go of what is kept for elements far from what the last paint showed, or at a scale it
    // no longer shows, when zooms have paused: zooming in and out again keeps what it needs.
    void letGoFarOff();

    // What is kept to paint elements, in bytes.
    std::size_t keptBytes() const { return m_cache.bytes(); }

    // The last paint showed a rescaled picture.
    bool isStale() const { return m_isStale; }

    // The view points the last paint changed in the frame: all of them, but for a drag step.
    const QRect &changedArea() const { return m_changedArea; }

    // Where, in view points, the next drag step over `elements` changes the frame; none when the
    // next paint may change more.
    std::optional<QRect> dragStepArea(const std::vector<ElementPtr> &elements,
                                      const WhiteboardViewport &viewport) const;

private:
    // A drag in progress: what moves, and what it may touch, is painted on every step over and
    // under images of the rest, made for the area of the view where anything can change.
    struct Split
    {
        std::vector<std::size_t> moving; // elements changed since the drag began, in board order
        std::vector<std::size_t> live;   // the moving ones and those they may cover or uncover
        RectF sweep;                     // the scene area the moving ones may cross
        QRect livePixels;                // where, in the frame, the live elements can paint
        QImage below;                    // the grid and the elements below, over `livePixels`
        QImage base;                     // the backdrop with `below` over it, opaque
        QImage above;                    // null when nothing lies above the moving elements
        // The frame holds the last step of this drag, so only what moved needs composing again.
        bool framed = false;
        // Where, in the frame, the moving elements and the selection's handles showed then.
        QRect movingPixels;
    };

    // Waits a moment at most for what is painted ahead, but for a paint that must show the
    // elements now; false when it is not ready, and the view is told once it is.
    bool awaitPaintingAhead();
    // The backdrop alone, while the elements are painted ahead.
    void paintBackdrop(QImage &frame, const CanvasElementScene &scene, QSize view);
    bool viewIsPrepared(const CanvasElementScene &scene) const;
    void paintFrame(QImage &frame,
                    const CanvasElementScene &scene,
                    QSize viewSize,
                    CanvasSharpness sharpness);
    // Painting in the background (canvas_layer_background.cpp).
    void adoptBackgroundPicture();
    void adoptPieces(const BackgroundElementPaint::Result &result);
    // `picture` shows what the layer's picture shows, at whatever viewport.
    bool showsThisBoard(const ElementPicture &picture) const;
    bool paintRescaled(QImage &frame, const CanvasElementScene &scene, CanvasSharpness sharpness);
    // Paints `areas` of a picture (its device pixels) whose top left corner is the view point
    // `origin` under `viewport`, in the background.
    void paintInBackground(const CanvasElementScene &scene,
                           const WhiteboardViewport &viewport,
                           QPointF origin,
                           const QRegion &areas,
                           const BackgroundElementPaint::Urgency &urgency);
    void refillMargins(const CanvasElementScene &scene);
    void bringUpToDate(const CanvasElementScene &scene);
    bool scroll(const CanvasElementScene &scene);
    void recentre();
    void fillView(const CanvasElementScene &scene);
    bool repaintChangedArea(const CanvasElementScene &scene);
    void repaintAll(const CanvasElementScene &scene);
    // Drags (canvas_layer_drag.cpp).
    bool finishSplit(const CanvasElementScene &scene);
    // Makes sure the split's images hold everything but the live elements; false when nothing
    // moved yet.
    bool updateSplit(const CanvasElementScene &scene);
    bool splitHolds(const Split &split,
                    const std::vector<ElementPtr> &elements,
                    double viewportScale) const;
    void paintDragStep(QImage &frame, const CanvasElementScene &scene, Split &split);
    // Where the moving elements of `split` and the selection's handles show in the frame.
    QRect movingPixels(const Split &split,
                       const std::vector<ElementPtr> &elements,
                       const WhiteboardViewport &viewport) const;

    // The backdrop with the picture over it, `transform`ed, as the whole frame.
    void paintComposite(QImage &frame,
                        const CanvasElementScene &scene,
                        const QTransform &transform) const;
    QImage blankImage(QSize pixels) const;
    QRectF viewRect() const;

    // The view point at the picture's top left corner: pans move the view within the picture,
    // which is centred on the view again only once they near its edge.
    QPointF pictureOrigin() const { return m_pictureOrigin; }

    // Where the picture's top left corner lies when the view is in its middle.
    QPointF centredOrigin() const;
    QRect picturePixels() const;
    // `viewArea` as whole device pixels of the picture, and back.
    QRect picturePixels(const QRectF &viewArea) const;
    QRectF viewArea(const QRect &picturePixels) const;
    QRectF viewArea(const QRect &picturePixels, QPointF origin) const;
    // The same for the device pixels of a picture of the view alone.
    QRect viewPixels(const QRectF &viewArea) const;
    // Repaints `viewArea` of the picture with every element that reaches it.
    void repaintPicture(const CanvasElementScene &scene, const QRectF &viewArea);
    // Paints the elements at `indices` (in board order) that reach `viewArea` into `image`,
    // whose top left corner is the view point `origin`, over what it holds there or, with
    // `clearFirst`, over nothing; `withGrid` puts the grid under them.
    void paintIndices(QImage &image,
                      QPointF origin,
                      const CanvasElementScene &scene,
                      const QRectF &viewArea,
                      const std::vector<std::size_t> &indices,
                      bool clearFirst,
                      bool withGrid);

    ElementPaintCache m_cache;
    ElementBoundsIndex m_bounds;
    QImage m_picture;
    QRegion m_painted; // the device pixels of the picture that show the elements
    bool m_isValid = false;
    QSize m_viewSize;
    qreal m_pixelRatio = 1;
    int m_marginPixels = 0;
    QPointF m_pictureOrigin;
    Uuid m_boardID;
    std::vector<ElementPtr> m_elements; // what m_picture shows
    WhiteboardViewport m_viewport;      // of the view m_picture was painted for
    std::optional<Uuid> m_hiddenID;
    BoardGridLines m_grid = BoardGridLines::none;
    std::optional<Split> m_split;
    // What was painted ahead of the first paint, for it to start from.
    std::optional<BackgroundElementPaint::Result> m_paintedAhead;
    // Until when the next paint may wait for it.
    std::chrono::steady_clock::time_point m_aheadUntil;
    CanvasSharpness m_sharpness = CanvasSharpness::whenUncovered; // of the paint at hand
    bool m_isStale = false;
    QRect m_changedArea;
    // Last, so that it stops painting before the cache and the pictures go.
    BackgroundElementPaint m_background;
};

} // namespace zentrel
