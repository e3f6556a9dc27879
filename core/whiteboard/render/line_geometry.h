#pragma once

#include "common/geometry.h"
#include "common/path.h"
#include "drawing/rough_path_generator.h"
#include "whiteboard/model/whiteboard_element.h"

#include <optional>
#include <vector>

namespace zentrel {

// One arrowhead where it is drawn: `path` is stroked with the line's pen and, when `filled`,
// also filled in the line's colour.
struct ArrowheadShape
{
    Path path;
    bool filled = false;

    friend bool operator==(const ArrowheadShape &, const ArrowheadShape &) = default;
};

// What an open line or arrow draws: its shaft through every point, then its heads, start first.
struct LineDrawing
{
    Path shaft;
    std::vector<ArrowheadShape> heads;

    friend bool operator==(const LineDrawing &, const LineDrawing &) = default;
};

// A line or arrow with a roundness and three points or more is drawn as a smooth curve through
// its points, as Excalidraw draws one; others in straight pieces.
bool isCurvedLine(const WhiteboardElement &element);

// Straight pieces through `points`, or when `curved` a Catmull-Rom curve through them.
Path lineOutline(const std::vector<PointF> &points, bool curved);

// An open line or arrow as drawn: smooth without a generator, else hand-drawn. A hollow head
// keeps the shaft out of it. Heads of the kind "arrow" keep Zentrel's own barbs, drawn by hand
// with the line; the others take Excalidraw's shapes and sizes and stay smooth. Nothing at all
// when the generator cannot draw a part: half an arrow would point somewhere else.
LineDrawing lineDrawing(const WhiteboardElement &element,
                        const std::optional<RoughPathGenerator> &generator);

} // namespace zentrel
