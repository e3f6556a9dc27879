#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_tool.h"

#include <optional>
#include <vector>

namespace zentrel {

// The pointer gesture in progress on the canvas: where it began and is now (scene coordinates),
// the points a pen drag has collected, and what a resize or rotation started from. The creation
// preview and the marquee are drawn from it.
struct CanvasDrag
{
    // What the gesture draws with: a tool chosen meanwhile (a key, a hot key) waits for the next.
    WhiteboardTool tool = WhiteboardTool::selection;
    std::optional<PointF> startScenePoint;
    std::optional<PointF> currentScenePoint;
    std::optional<PointF> lastViewPoint; // the previous event of a pan, in view points
    std::vector<PointF> activePoints;
    std::optional<RectF> sourceSelectionBounds;
    std::optional<double> sourceRotationAngle;
    bool isSpacePressed = false;
};

} // namespace zentrel
