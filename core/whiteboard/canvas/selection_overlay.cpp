#include "whiteboard/canvas/selection_overlay.h"

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

} // namespace zentrel
