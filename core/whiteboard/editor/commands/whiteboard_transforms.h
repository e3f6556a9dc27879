#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/model/whiteboard_interaction.h"

#include <set>

namespace zentrel {

// Selection transforms: moving, resizing and rotating the selected elements while the user drags
// them, with bound arrow ends and container labels kept in step. The canvas calls these once per
// drag event inside a transaction, so they only assign the published library: no undo step, no
// commit, no save. The transaction's end makes the whole drag one undo step.

// The smallest width or height a resize leaves a selection holding anything but lines and
// arrows, so a shape cannot be squashed out of reach of its handles.
inline constexpr double whiteboardMinimumResizeExtent = 8;

// Translates the selected elements by (dx, dy), then re-aims bound arrows and re-fits labels.
// Checks no lock: the canvas moves only an unlocked selection.
void moveSelection(WhiteboardEditorModel &model, double dx, double dy);

// Maps the selected elements from `from` to `to` (signed: a negative extent mirrors). Inside an
// open transaction every call starts again from the library as it was when the drag began, so
// the result depends only on the current pointer and no error builds up. Refused for an empty
// selection or one holding a locked element.
void dragResizeHandle(WhiteboardEditorModel &model, const RectF &from, const RectF &to);

// The same mapping applied to the current board as it is now; no lock check.
void resizeSelection(WhiteboardEditorModel &model, const RectF &from, const RectF &to);

// Turns the selected elements by `delta` radians (clockwise on the y-down canvas) about `pivot`:
// each element's centre travels round the pivot and its own rotation grows by `delta`. Checks no
// lock, as moveSelection.
void rotateSelection(WhiteboardEditorModel &model, PointF pivot, double delta);

// Re-aims the ends of arrows bound to an element in `ids` at that element's outline. Lines keep
// their ends even when bound, and ends bound to elements outside `ids` stay where they are.
void updateBoundArrows(WhiteboardBoard &board, const std::set<Uuid> &ids);

// Re-frames the labels of the containers in `ids` and gives them the container's rotation.
void refitContainedTexts(WhiteboardBoard &board, const std::set<Uuid> &ids);

// What the canvas asks for while a handle is dragged: `source` with only the dragged handle's
// edges moved by `delta` (scene, since mouse-down); dragging past the opposite edge gives a
// negative extent. With `keepsMinimum` a width or height below the minimum in absolute value
// becomes the minimum, with the rectangle's origin kept.
RectF resizedSelectionRect(const RectF &source,
                           WhiteboardResizeHandle handle,
                           PointF delta,
                           bool keepsMinimum);

// Whether a resize of the current selection keeps the minimum size: true when it holds any
// element that is neither a line nor an arrow.
bool selectionKeepsMinimumSize(const WhiteboardEditorModel &model);

} // namespace zentrel
