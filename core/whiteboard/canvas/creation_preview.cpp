#include "whiteboard/canvas/creation_preview.h"

namespace zentrel {

std::optional<WhiteboardElementKind> draggedElementKind(WhiteboardTool tool)
{
    switch (tool) {
    case WhiteboardTool::freedraw:
        return WhiteboardElementKind::freedraw;
    case WhiteboardTool::arrow:
        return WhiteboardElementKind::arrow;
    case WhiteboardTool::rectangle:
        return WhiteboardElementKind::rectangle;
    case WhiteboardTool::ellipse:
        return WhiteboardElementKind::ellipse;
    case WhiteboardTool::diamond:
        return WhiteboardElementKind::diamond;
    case WhiteboardTool::line:
        return WhiteboardElementKind::line;
    default:
        return std::nullopt;
    }
}

std::optional<WhiteboardElement> creationPreviewElement(WhiteboardTool tool,
                                                        PointF start,
                                                        PointF current,
                                                        const std::vector<PointF> &freehandPoints,
                                                        Color drawingColor,
                                                        double lineWidth)
{
    const std::optional<WhiteboardElementKind> kind = draggedElementKind(tool);
    if (!kind) {
        return std::nullopt;
    }
    WhiteboardElement element;
    element.kind = *kind;
    element.style.strokeColor = hexString(drawingColor);
    element.style.strokeWidth = lineWidth;
    element.style.opacity = 1;
    element.style.roughness = 1;
    switch (*kind) {
    case WhiteboardElementKind::freedraw:
        for (const PointF point : freehandPoints) {
            element.points.push_back({point.x, point.y});
        }
        break;
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        element.setFrame({start.x, start.y, current.x - start.x, current.y - start.y});
        break;
    default:
        element.setFrame(rectBetween(start, current));
        break;
    }
    return element;
}

} // namespace zentrel
