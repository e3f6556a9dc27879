#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/model/whiteboard_element_style.h"
#include "whiteboard/render/text_layout.h"

#include <string>
#include <vector>

namespace zentrel {

// A self-contained SVG document of the board: its background rectangle and one shape per
// element, in board order, framed by whiteboardBoundingRect. UTF-8, no XML declaration, never
// fails. Hand-drawn roughness is not imitated. `measure` breaks texts into the lines the canvas
// draws; without one a text breaks only at its line breaks.
std::string renderBoardSVG(const WhiteboardBoard &board, const TextMeasurer &measure = {});

// The markup of one element on one line (a shape and its label, or a line and its heads, may
// take more than one SVG element), without a line feed.
std::string svgForElement(const WhiteboardElement &element, const TextMeasurer &measure = {});

// The dash attributes of the style's stroke, each preceded by one space; empty for solid or none.
std::string svgDashAttributes(const WhiteboardElementStyle &style);

// The union of the elements' rotated bounds grown by 20 on every side; (0, 0, 1, 1) for none.
// The editor frames its image rendering the same way, so it should share this rule.
RectF whiteboardBoundingRect(const std::vector<ElementPtr> &elements);

} // namespace zentrel
