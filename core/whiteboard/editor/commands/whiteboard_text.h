#pragma once

#include "common/geometry.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element.h"

#include <functional>
#include <optional>
#include <string_view>

namespace zentrel {

// Text editing and markers: what the canvas's inline text editor hands over when editing ends,
// the labels of containers, and the numbering of markers.

// The size a text takes at a font size. Fonts live in the app, so the canvas supplies this.
using WhiteboardTextMeasure = std::function<SizeF(std::string_view text, double fontSize)>;

// Ends a text edit. Trimmed empty text removes the edited element (a new one is dropped); with
// `editedID` that element's text, size, alignment and container are updated; otherwise a new text
// at `point` in the drawing defaults and `textFontSize` goes on top and becomes the selection.
void commitText(WhiteboardEditorModel &model,
                std::string_view text,
                PointF point,
                std::optional<Uuid> editedID,
                SizeF size,
                WhiteboardTextAlignment alignment,
                std::optional<Uuid> containerID);

// The same, with the size measured from the trimmed text at its font size: the edited element's,
// else `textFontSize`.
void commitText(WhiteboardEditorModel &model,
                std::string_view text,
                PointF point,
                std::optional<Uuid> editedID,
                const WhiteboardTextMeasure &measure,
                WhiteboardTextAlignment alignment,
                std::optional<Uuid> containerID);

// The first text of the current board whose container is `containerID`.
std::optional<WhiteboardElement> textInContainer(const WhiteboardEditorModel &model,
                                                 const Uuid &containerID);

// Whether the current board holds any marker.
bool hasMarkers(const WhiteboardEditorModel &model);

// Numbers the markers 1, 2, 3 … from bottom to top as one undo step; already so: no step.
void renumberMarkers(WhiteboardEditorModel &model);

} // namespace zentrel
