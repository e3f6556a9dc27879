#include "whiteboard/editor/whiteboard_property_commands.h"

#include "common/text.h"
#include "whiteboard/editor/whiteboard_layers.h"
#include "whiteboard/editor/whiteboard_styles.h"

#include <algorithm>

namespace zentrel {

namespace {

// The colour setters do not guard themselves, so the caller does: a bare notice stands in for
// the change of the default when nothing is selected.
void applyToSelectionOrPublish(WhiteboardEditorModel &model, const std::function<void()> &apply)
{
    if (model.selection().empty()) {
        model.changed.notify(WhiteboardEditorChange::none);
    } else if (!selectionContainsLocked(model)) {
        apply();
    }
}

bool admitsLinkChange(const WhiteboardEditorModel &model)
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
    applyToSelectionOrPublish(model, [&] { setStrokeColor(model, color); });
}

void chooseFillColor(WhiteboardEditorModel &model, const std::optional<Color> &color)
{
    model.setFillColor(color);
    applyToSelectionOrPublish(model, [&] { setFillColor(model, color); });
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
    if (admitsLinkChange(model)) {
        setLink(model, trimmedBlanks(draft));
    }
}

void removeSelectionLink(WhiteboardEditorModel &model)
{
    if (admitsLinkChange(model)) {
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
