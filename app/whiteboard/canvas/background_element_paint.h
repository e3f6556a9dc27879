#pragma once

#include "common/uuid.h"
#include "whiteboard/canvas/element_paint_cache.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zentrel {

// A picture of a board's elements under one viewport: what the view shows once the pointer
// rests.
struct ElementPicture
{
    Uuid boardID;
    std::vector<ElementPtr> elements; // the whole board, in board order
    WhiteboardViewport viewport;
    std::optional<Uuid> hiddenID;
    QSize viewSize;
    qreal pixelRatio = 1;
};

// The elements of an ElementPicture painted on the pool's threads while the view goes on showing
// what it has, so that no zoom step waits for every element in view. One painting at a time;
// the owner must paint no element itself meanwhile, since both would use the same paths.
class BackgroundElementPaint
{
public:
    struct Element
    {
        ElementPtr element;
        RectF bounds;
        PaintedElementPtr painted; // null when it is to be prepared
    };

    struct Result
    {
        ElementPicture picture;
        QImage image;
        // What was prepared for the painting, for the owner's cache.
        std::vector<std::pair<ElementPtr, PaintedElementPtr>> prepared;
    };

    // `onDone` is called on a pool thread when a painting has finished.
    explicit BackgroundElementPaint(std::function<void()> onDone);
    ~BackgroundElementPaint();
    BackgroundElementPaint(const BackgroundElementPaint &) = delete;
    BackgroundElementPaint &operator=(const BackgroundElementPaint &) = delete;

    // Paints `elements`, the ones that may show in `picture`, in board order.
    void start(ElementPicture picture, std::vector<Element> elements);

    // Painting or done and not yet taken.
    bool isBusy() const { return m_job != nullptr; }

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

} // namespace zentrel
