#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_element.h"

#include <optional>
#include <string>
#include <vector>

namespace zentrel {

// Element creation and erasing: what a finished pointer gesture adds to, or takes from, the
// current board. Each call that changes the board is one undo step with a commit; every new
// element goes on top and becomes the whole selection.

// Half the side of a marker, which is centred on the click.
inline constexpr double whiteboardMarkerRadius = 15;
// How far from a shape an arrow end still binds to it, in view points.
inline constexpr double whiteboardBindingTolerance = 16;

// A dragged rectangle, ellipse, diamond, line or arrow from `start` to `end`. A click without
// movement still makes an element: a 1 by 1 shape or a zero-length line or arrow. Other kinds
// are not dragged out and are ignored.
void finishShape(WhiteboardEditorModel &model,
                 WhiteboardElementKind kind,
                 PointF start,
                 PointF end);

// A freehand stroke through `points`, kept as given; an empty stroke adds nothing.
void finishFreehand(WhiteboardEditorModel &model, const std::vector<PointF> &points);

// The next numbered marker, centred on `point`: one more than the largest number on the board.
void addMarker(WhiteboardEditorModel &model, PointF point);

// Removes the topmost element under `point` with its labels, locked or not, and unbinds arrows
// from it. Nothing under the point: nothing happens.
void eraseAtPoint(WhiteboardEditorModel &model, PointF point);

// The topmost rectangle, ellipse or diamond whose rotated bounding box, grown by the binding
// tolerance, contains `point`.
std::optional<Uuid> bindingTarget(const WhiteboardEditorModel &model, PointF point);

// Where the ray from the element's centre towards `target` leaves its outline.
PointF edgePoint(const WhiteboardElement &element, PointF target);

// Sets the text of the first element with `id` on `board`, its size when given (keeping the
// origin), its alignment and container, and fits a label into its container.
void updateTextElement(WhiteboardBoard &board,
                       const Uuid &id,
                       std::string text,
                       std::optional<SizeF> size,
                       WhiteboardTextAlignment alignment,
                       std::optional<Uuid> containerID);

// A new element of `kind` in the model's drawing defaults, with a fresh id and nothing else set.
WhiteboardElement makeDefaultElement(const WhiteboardEditorModel &model,
                                     WhiteboardElementKind kind);

// Puts `element` on top of the current board as one undo step and selects only it.
void appendCreatedElement(WhiteboardEditorModel &model, WhiteboardElement element);

// Removes the element with `id`, its labels and the bindings naming them as one undo step, and
// takes `id` out of the selection. An id not on the board changes nothing.
void removeElementWithLabels(WhiteboardEditorModel &model, const Uuid &id);

} // namespace zentrel
