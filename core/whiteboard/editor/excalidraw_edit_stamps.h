#pragma once

#include "common/iso_date.h"
#include "whiteboard/model/whiteboard_board.h"

namespace zentrel {

// Notes `time` on each element read from an Excalidraw document that a change of the board left
// other than it was read, so export can write it as changed then, as Excalidraw stamps an
// element it changes. Elements the change did not touch (shared with `before`, the board before
// it, when there is one) keep what they were noted with.
void stampExcalidrawEdits(WhiteboardBoard &board, const WhiteboardBoard *before, Timestamp time);

} // namespace zentrel
