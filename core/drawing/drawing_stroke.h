#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "common/iso_date.h"
#include "drawing/drawing_tool.h"

#include <optional>
#include <vector>

namespace zentrel {

// One stroke of the live canvas, in canvas coordinates (origin top left, y down).
struct DrawingStroke
{
    DrawingTool tool = DrawingTool::freehand;
    // Freehand: every kept sample in order. Every other tool: start and end.
    std::vector<PointF> points;
    Color color;
    double lineWidth = 0;
    Timestamp createdAt;
    // Seconds after createdAt at which the stroke is gone; none = it never fades.
    std::optional<double> fadeDuration;

    friend bool operator==(const DrawingStroke &, const DrawingStroke &) = default;
};

} // namespace zentrel
