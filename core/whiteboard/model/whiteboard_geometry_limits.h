#pragma once

#include "whiteboard/model/whiteboard_element.h"

#include <optional>
#include <string>

namespace zentrel {

// Scene coordinates, extents, points, rotations, stroke widths, font sizes and line heights stay
// within this magnitude: drawing, hit testing, export and saving compute from a few such values
// (sums, differences, products of two), which then stay finite. Import and paste refuse
// elements beyond it, and an edit that would carry an element past it is not made.
inline constexpr double whiteboardGeometryLimit = 1e12;

// The first geometry field of `element` that is not finite or lies beyond the limit, named as
// the element's JSON names it ("width", "points[3]", "strokeWidth"); none when all are in range.
std::optional<std::string> geometryOutOfRange(const WhiteboardElement &element);

} // namespace zentrel
