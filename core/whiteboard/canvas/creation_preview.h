#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/model/whiteboard_tool.h"

#include <optional>
#include <vector>

namespace zentrel {

// The kind of element a drag with `tool` creates: the pen's freehand stroke, shapes and lines;
// none for tools that do not drag out an element.
std::optional<WhiteboardElementKind> draggedElementKind(WhiteboardTool tool);

// The element a drag with `tool` would create, drawn smooth while the pointer moves: from
// `start` to `current` for shapes and lines (a line keeps the drag's direction), through
// `freehandPoints` for the pen. Tools that do not drag out an element give none.
std::optional<WhiteboardElement> creationPreviewElement(WhiteboardTool tool,
                                                        PointF start,
                                                        PointF current,
                                                        const std::vector<PointF> &freehandPoints,
                                                        Color drawingColor,
                                                        double lineWidth);

} // namespace zentrel
