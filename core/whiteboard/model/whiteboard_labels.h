#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"

namespace zentrel {

// Labels: texts bound to a container, laid out by the container whenever either changes.

// Where a label of `width` by `height` sits in `container`: centred on a line or arrow with its
// width kept within 80…220, or inside a shape's frame inset by 12.
RectF labelFrameInContainer(double width, double height, const WhiteboardElement &container);

// Gives `label` its frame from its own size and the container's rotation; arrow labels stay
// upright.
void fitLabelIntoContainer(WhiteboardElement &label, const WhiteboardElement &container);

// Moves `label` so that it is centred where a fit into `container` centres it, keeping its size
// and rotation.
void centreLabelInContainer(WhiteboardElement &label, const WhiteboardElement &container);

// Fits `label` into the first element of `board` that its container names; without a container,
// or with one the board lacks, the label keeps its frame.
void fitLabelOnBoard(WhiteboardElement &label, const WhiteboardBoard &board);

} // namespace zentrel
