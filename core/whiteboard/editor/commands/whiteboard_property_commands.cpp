#include "whiteboard/editor/commands/whiteboard_property_commands.h"

#include "common/text.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"

#include <algorithm>

namespace zentrel {

namespace {

// The colour and link setters do not guard themselves, so the caller does. With nothing
// selected only the default changes, which the model publishes.
bool admitsSelectionEdit(const WhiteboardEditorModel &model)
{
    return !model.selection().empty() && !selectionContainsLocked(model);
}

} // namespace

void chooseStrokeColor(WhiteboardEditorModel &model,
                       AppPreferences &preferences,
                       const Color &color)
{
    preferences.setDrawingColor(color);
    model.setDrawingColor(color);
    if (admitsSelectionEdit(model)) {
        setStrokeColor(model, color);
    }
}

void chooseFillColor(WhiteboardEditorModel &model, const std::optional<Color> &color)
{
    model.setFillColor(color);
    if (admitsSelectionEdit(model)) {
        setFillColor(model, color);
    }
}

void chooseStrokeWidth(WhiteboardEditorModel &model, AppPreferences &preferences, double width)
{
    preferences.setLineWidth(width);
    model.setLineWidth(width);
    setStrokeWidth(model, width);
}

void chooseRoughness(WhiteboardEditorModel &model,
                     AppPreferences &preferences,
                     RoughnessLevel level)
{
    preferences.setRoughnessLevel(level);
    const int number = static_cast<int>(level);
    model.setRoughness(number);
    setRoughness(model, number);
}

void chooseOpacity(WhiteboardEditorModel &model, double opacity)
{
    model.setOpacity(opacity);
    setOpacity(model, opacity);
}

void toggleSelectionRoundedCorners(WhiteboardEditorModel &model)
{
    toggleRoundedCorners(model, !effectiveStyle(model).roundnessType.has_value());
}

std::string selectionLinkDraft(const WhiteboardEditorModel &model)
{
    const std::vector<ElementPtr> selected = selectedElements(model);
    if (selected.empty() || !selected.front()->link) {
        return {};
    }
    return *selected.front()->link;
}

void saveSelectionLink(WhiteboardEditorModel &model, std::string_view draft)
{
    if (admitsSelectionEdit(model)) {
        setLink(model, trimmedBlanks(draft));
    }
}

void removeSelectionLink(WhiteboardEditorModel &model)
{
    if (admitsSelectionEdit(model)) {
        setLink(model, std::nullopt);
    }
}

bool selectionIsAllText(const WhiteboardEditorModel &model)
{
    const std::vector<ElementPtr> selected = selectedElements(model);
    return std::all_of(selected.begin(), selected.end(), [](const ElementPtr &element) {
        return element->kind == WhiteboardElementKind::text;
    });
}

bool selectionContainsKind(const WhiteboardEditorModel &model, WhiteboardElementKind kind)
{
    const std::vector<ElementPtr> selected = selectedElements(model);
    return std::any_of(selected.begin(), selected.end(), [kind](const ElementPtr &element) {
        return element->kind == kind;
    });
}

bool showsTextSizeChoices(const WhiteboardEditorModel &model)
{
    return model.selectedTool() == WhiteboardTool::text
           || selectionContainsKind(model, WhiteboardElementKind::text);
}

} // namespace zentrel
