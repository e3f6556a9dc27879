#pragma once

#include "common/geometry.h"
#include "common/uuid.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_element.h"

#include <optional>

namespace zentrel {

// Hit testing and selection on the current board. Points and rectangles are in scene
// coordinates; none of these touch the undo history or the disk.

// How close a pointer must come to an element, in view points at any zoom.
inline constexpr double whiteboardHitTolerance = 10;

// The element's bounds turned by its rotation about their centre, then the smallest axis-aligned
// rectangle around the result. Selection bounds and marquee selection use it.
RectF rotatedBoundingBox(const WhiteboardElement &element);

// The topmost element that `point` hits, locked ones and placeholders included. The first call
// after a library change indexes the board once per thread; later calls read only that index.
std::optional<Uuid> elementAtPoint(const WhiteboardEditorModel &model, PointF point);

// The first element of the current board with `id`, in board order; null when absent.
ElementPtr elementWithID(const WhiteboardEditorModel &model, const Uuid &id);

// The union of the rotated boxes of the selected elements; none when no selected id names one.
std::optional<RectF> selectionBounds(const WhiteboardEditorModel &model);

// What a click on `id` selects: its container when it is a label, the whole outermost group of
// that root, and the labels bound to any of them.
WhiteboardSelection expandedSelectionIDs(const WhiteboardEditorModel &model, const Uuid &id);

// A click: none clears the selection unless extending; extending toggles the expanded set.
void selectElement(WhiteboardEditorModel &model, const std::optional<Uuid> &id, bool extending);

// Selects every element whose rotated box touches `rect`, expanded like a click; extending only
// adds to the selection.
void selectInMarquee(WhiteboardEditorModel &model, const RectF &rect, bool extending);

} // namespace zentrel
