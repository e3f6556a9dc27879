#pragma once

#include "common/color.h"
#include "shell/app_preferences.h"
#include "shell/roughness_level.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/model/whiteboard_vocabulary.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// The property panel's commands and what it derives from the selection. Stroke colour, stroke
// width and roughness are shared with live drawing through the settings; the other choices stay
// in the editor. Each choice first becomes the drawing default, so the next new element takes it
// even when the selection refuses it (locked); with nothing selected only the default changes
// and the model publishes, so the panel shows it.

void chooseStrokeColor(WhiteboardEditorModel &model,
                       AppPreferences &preferences,
                       const Color &color);
// No colour is the transparent fill. Never touches the settings.
void chooseFillColor(WhiteboardEditorModel &model, const std::optional<Color> &color);
void chooseStrokeWidth(WhiteboardEditorModel &model, AppPreferences &preferences, double width);
void chooseRoughness(WhiteboardEditorModel &model,
                     AppPreferences &preferences,
                     RoughnessLevel level);
// `opacity` in 0…1.
void chooseOpacity(WhiteboardEditorModel &model, double opacity);

// Rounds the corners of the selection unless the lowest selected element has them rounded.
void toggleSelectionRoundedCorners(WhiteboardEditorModel &model);

// The link of the lowest selected element, or empty text; the draft the link alert starts with.
std::string selectionLinkDraft(const WhiteboardEditorModel &model);
// Saves the draft trimmed of white space (blank text removes the link); refused for an empty or
// locked selection.
void saveSelectionLink(WhiteboardEditorModel &model, std::string_view draft);
void removeSelectionLink(WhiteboardEditorModel &model);

// Whether every selected element is a text, which holds for an empty selection too: the first
// colour group is then the text colour.
bool selectionIsAllText(const WhiteboardEditorModel &model);
bool selectionContainsKind(const WhiteboardEditorModel &model, WhiteboardElementKind kind);
// The text size choices show for the text tool or a selected text.
bool showsTextSizeChoices(const WhiteboardEditorModel &model);

} // namespace zentrel
