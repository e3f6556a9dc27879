#pragma once

#include "whiteboard/canvas/element_layer/painted_element.h"

#include <cstddef>

namespace zentrel {

// About how much memory what is kept to paint the element holds: its paths' points, hatch lines,
// glyph outlines and pictures. Shared parts count in full for each holder, so a budget of these
// errs on the side of keeping less.
std::size_t paintedElementBytes(const PaintedElement &element);

} // namespace zentrel
