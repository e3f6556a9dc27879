#pragma once

#include "common/color.h"
#include "shell/roughness_level.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_board.h"
#include "whiteboard/model/whiteboard_element_style.h"
#include "whiteboard/model/whiteboard_vocabulary.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrel {

// The look of the selected elements and two properties of the current board. The drawing
// defaults (model.setDrawingColor, setLineWidth, …) are the caller's to assign before a setter:
// they change even when the setter then refuses, so the next new element takes them.

inline constexpr std::int64_t whiteboardRoundedCornersType = 3;

// Setters with their own undo step, each only when something changed. The ones that guard
// themselves publish a change when nothing is selected (so the panel re-reads effectiveStyle)
// and do nothing while the selection holds a locked element. The colour setters and setLink do
// not guard: their callers call them only for an unlocked, non-empty selection.
void setStrokeColor(WhiteboardEditorModel &model, const Color &color);
void setFillColor(WhiteboardEditorModel &model, const std::optional<Color> &color);
void setStrokeWidth(WhiteboardEditorModel &model, double width);
void setRoughness(WhiteboardEditorModel &model, std::int64_t roughness);
void setOpacity(WhiteboardEditorModel &model, double opacity);
void setStrokeStyle(WhiteboardEditorModel &model, WhiteboardStrokeStyle style);
void setFillStyle(WhiteboardEditorModel &model, WhiteboardFillStyle style);
void toggleRoundedCorners(WhiteboardEditorModel &model, bool on);
// Clamps to 8…144 and sets the size of new texts, then resizes the selected texts.
void setTextFontSize(WhiteboardEditorModel &model, double size);
// An absent or empty link removes it.
void setLink(WhiteboardEditorModel &model, std::optional<std::string_view> link);
// Always changes the board, so every call is one undo step.
void toggleGrid(WhiteboardEditorModel &model);

// A continuous change such as one drag of the opacity slider: every setter call between begin
// and end joins one undo step, recorded at the end and only when the library changed.
void beginContinuousStyleChange(WhiteboardEditorModel &model);
void endContinuousStyleChange(WhiteboardEditorModel &model);

// In place, without guard or undo step; callers wrap them in commitIfChanged.
void setFontFamily(WhiteboardEditorModel &model, WhiteboardFontFamily family);
void setTextAlignment(WhiteboardEditorModel &model, WhiteboardTextAlignment alignment);
void setBackground(WhiteboardEditorModel &model, WhiteboardBackground background);

// The same, as the panel and toolbar invoke them: refused for an empty or locked selection, one
// undo step when something changed.
void applyFontFamily(WhiteboardEditorModel &model, WhiteboardFontFamily family);
void applyTextAlignment(WhiteboardEditorModel &model, WhiteboardTextAlignment alignment);
// The toolbar's background command: white becomes black, black or an image becomes white.
void toggleBackground(WhiteboardEditorModel &model);

// What the property panel shows: the style of the lowest selected element, else the drawing
// defaults.
WhiteboardElementStyle effectiveStyle(const WhiteboardEditorModel &model);
// The size of the first selected text when it has one, else the size of new texts.
double effectiveTextFontSize(const WhiteboardEditorModel &model);

// How rough an element with this stored roughness is drawn: each stored level keeps its own
// look, so 0 is smooth and 1 only slightly rough; a number outside 0…3 draws at medium.
RoughnessLevel elementRoughnessLevel(std::int64_t roughness);

} // namespace zentrel
