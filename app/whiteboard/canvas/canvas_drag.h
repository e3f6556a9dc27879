#pragma once

#include "common/geometry.h"

#include <optional>
#include <vector>

namespace zentrel {

// Where the pointer's current drag on the canvas began and is now, in scene coordinates, and the
// points a pen drag has collected; the creation preview and the marquee are drawn from it.
struct CanvasDrag
{
    std::optional<PointF> startScenePoint;
    std::optional<PointF> currentScenePoint;
    std::vector<PointF> activePoints;
};

} // namespace zentrel
