#pragma once

#include "common/uuid.h"
#include "whiteboard/canvas/element_layer/board_grid_painting.h"
#include "whiteboard/canvas/element_layer/chunked_element_painting.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zentrel {

// A transparent picture of a board's grid and elements under one viewport, which maps scene
// points to the picture's own points.
struct ElementPicture
{
    Uuid boardID;
    std::vector<ElementPtr> elements; // the whole board, in board order
    WhiteboardViewport viewport;
    std::optional<Uuid> hiddenID;
    BoardGridLines grid = BoardGridLines::none;
    QSize pixelSize;
    qreal pixelRatio = 1;
};

// Areas of an ElementPicture painted on the pool's threads while the view goes on showing what
// it has, so that no zoom or pan step waits for elements it does not need at once. One painting
// at a time; the owner must paint no element itself meanwhile, since both would use the same
// paths.
class BackgroundElementPaint
{
public:
    // `painted` is null for one to be prepared.
    using Element = ElementToPrepare;

    // One area of the picture, in its device pixels, and what was painted there.
    struct Piece
    {
        QRect area;
        QImage image;
    };

    struct Result
    {
        ElementPicture picture;
        std::vector<Piece> pieces;
        // What was prepared for the painting, for the owner's cache, up to the bytes it keeps.
        std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared;
    };

    // `onDone` is called on a pool thread when a painting that asked for it has finished, or
    // from tellWhenDone() when it finished before being asked.
    explicit BackgroundElementPaint(std::function<void()> onDone);
    ~BackgroundElementPaint();
    BackgroundElementPaint(const BackgroundElementPaint &) = delete;
    BackgroundElementPaint &operator=(const BackgroundElementPaint &) = delete;

    // How a painting shares the pool with the frames the view paints meanwhile.
    struct Urgency
    {
        int threads = 1;
        // Areas nothing shows yet, or a picture zoom steps may leave behind, can wait to be
        // taken, untold.
        bool tellWhenDone = false;
        // What it prepared is handed back up to as many bytes as the owner keeps, of elements a
        // few pixels across as many as it has room for; the rest is let go once painted.
        std::size_t handedBackBytes = elementPaintCacheBytes;
        std::size_t handedBackSmallBytes = elementPaintCacheBytes;
    };

    // Paints the `areas` of `picture` (device pixels) with `elements`, those that may show there,
    // in board order.
    void start(ElementPicture picture,
               std::vector<QRect> areas,
               std::vector<Element> elements,
               const Urgency &urgency);

    // Painting or done and not yet taken.
    bool isBusy() const { return m_job != nullptr; }

    // Has the painting at hand tell its end after all, or tells at once when it has ended.
    void tellWhenDone();

    // Returns once the painting at hand has ended, or at once when there is none.
    void wait();
    // The same for at most `longest`; whether it ended.
    bool waitFor(std::chrono::milliseconds longest);
    // What is being painted, or was.
    const ElementPicture *picture() const;
    // The finished painting, once there is one; the painter is free again.
    std::optional<Result> take();
    // Stops a painting and returns once no thread paints any more.
    void cancel();

private:
    struct Job;

    std::function<void()> m_onDone;
    std::shared_ptr<Job> m_job;
};

// Puts the pieces of `result` into `picture`, which shows the same elements at the same scale
// under `viewport` (scene points to the picture's points): pans since the painting carried them
// by whole pixels. Returns the pixels they cover now, or nothing when a pan moved them by part of
// a pixel or the scale differs.
std::optional<QRegion> placePieces(QImage &picture,
                                   const WhiteboardViewport &viewport,
                                   const BackgroundElementPaint::Result &result);

} // namespace zentrel
