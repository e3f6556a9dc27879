#include "whiteboard/canvas/selection_overlay.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"

namespace zentrel {

std::array<PointF, 8> selectionHandlePoints(RectF bounds)
{
    const double minX = bounds.x;
    const double minY = bounds.y;
    const double maxX = bounds.x + bounds.width;
    const double maxY = bounds.y + bounds.height;
    const double midX = bounds.x + bounds.width / 2;
    const double midY = bounds.y + bounds.height / 2;
    return {{
        {minX, minY},
        {midX, minY},
        {maxX, minY},
        {maxX, midY},
        {maxX, maxY},
        {midX, maxY},
        {minX, maxY},
        {minX, midY},
    }};
}

RectF selectionHandleSquare(PointF point, double scale)
{
    const double side = selectionHandleSide / scale;
    return {point.x - side / 2, point.y - side / 2, side, side};
}

PointF rotationHandleCentre(RectF bounds, double scale)
{
    return {bounds.x + bounds.width / 2, bounds.y - rotationHandleOffset / scale};
}

namespace {

constexpr double handleGrabDistance = 8;
constexpr double rotationGrabDistance = 10;

// The bounds of a selection that handles may change: none when empty or holding a locked element.
std::optional<RectF> adjustableSelectionBounds(const WhiteboardEditorModel &model)
{
    if (model.selection().empty() || selectionContainsLocked(model)) {
        return std::nullopt;
    }
    return selectionBounds(model);
}

} // namespace

std::optional<WhiteboardResizeHandle> resizeHandleAtPoint(const WhiteboardEditorModel &model,
                                                          PointF scenePoint)
{
    const std::optional<RectF> bounds = adjustableSelectionBounds(model);
    if (!bounds) {
        return std::nullopt;
    }
    const double tolerance = handleGrabDistance / model.currentBoard().viewport.scale;
    const std::array<PointF, 8> points = selectionHandlePoints(*bounds);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (distance(points[i], scenePoint) <= tolerance) {
            return static_cast<WhiteboardResizeHandle>(i);
        }
    }
    return std::nullopt;
}

bool isOnRotationHandle(const WhiteboardEditorModel &model, PointF scenePoint)
{
    const std::optional<RectF> bounds = adjustableSelectionBounds(model);
    if (!bounds) {
        return false;
    }
    const double scale = model.currentBoard().viewport.scale;
    return distance(rotationHandleCentre(*bounds, scale), scenePoint)
           <= rotationGrabDistance / scale;
}

} // namespace zentrel
