#pragma once

#include "whiteboard/model/whiteboard_board.h"

namespace zentrel {

// Excalidraw draws a label bound to a line or arrow on the line, whatever place the label stores,
// and documents often store a stale one (far off, or piled near the origin). Moves every such
// label read from a document to where the editor's re-fit after a move centres it, keeping its
// size (a narrower frame would break its lines anew), so it is drawn, hit and exported on its
// line. A label still as it was read stays so: export writes its new place and every other key
// as it was read.
void placeExcalidrawLabels(WhiteboardBoard &board);

} // namespace zentrel
