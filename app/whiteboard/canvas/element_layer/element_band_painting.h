#pragma once

#include "common/geometry.h"
#include "whiteboard/canvas/element_layer/board_grid_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/model/whiteboard_board.h"

#include <QImage>
#include <QRect>
#include <QRectF>

#include <atomic>
#include <functional>
#include <vector>

class QPainter;

namespace zentrel {

// One element ready to paint: where it can paint, in scene coordinates, and what it paints.
struct ElementToPaint
{
    RectF bounds;
    const PaintedElement *painted = nullptr;
};

// The viewport of a picture whose top left corner is the view point `origin` under `viewport`.
WhiteboardViewport seenFrom(WhiteboardViewport viewport, QPointF origin);

// Whether an element that can paint within `bounds` may show in `area`; touching counts, as
// antialiasing may reach across.
bool reaches(const RectF &bounds, const RectF &area);

// How the elements reaching an area are painted into a picture of the view.
struct BandPainting
{
    WhiteboardViewport viewport;
    // Clear the area first, as a transparent layer is repainted; or paint over what is there.
    bool clearFirst = false;
    int threads = 1;
    // Once set, each band stops after the element at hand.
    const std::atomic<bool> *cancelled = nullptr;
    // Painted first, under the elements, where the painting is the bottom of the picture.
    BoardGridLines grid = BoardGridLines::none;
    // Another painting uses the same elements meanwhile, so each band paints copies of its own.
    bool alongside = false;
};

// Runs `paint` for each band of `target`, side by side on the pool's free threads, with a painter
// in the target's points clipped to the band: Qt paints on one thread when it runs on a pool
// thread. `paint` must only read what it shares.
void paintInBands(QImage &target, int threads, const std::function<void(QPainter &)> &paint);

// Paints those of `elements` (board order) that reach `viewArea`, in view points, into `image`.
// The area is cut into bands of whole device pixels, painted side by side on the pool's free
// threads, each clipped to its band: the picture is the same as one painted in one go.
void paintElementsInBands(QImage &image,
                          const QRectF &viewArea,
                          const std::vector<ElementToPaint> &elements,
                          const BandPainting &how);

} // namespace zentrel
