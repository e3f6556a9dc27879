#include "whiteboard/editor/commands/whiteboard_styles.h"

#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/model/whiteboard_labels.h"

#include <cmath>
#include <string>
#include <utility>

namespace zentrel {
namespace {

bool isText(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::text;
}

// editSelected for the selected texts alone.
template <typename Edit>
void editSelectedTexts(WhiteboardBoard &board, const WhiteboardSelection &selection, Edit edit)
{
    editSelected(board, selection, [&](WhiteboardElement &element) {
        if (isText(element)) {
            edit(element);
        }
    });
}

template <typename Edit>
void updateSelected(WhiteboardEditorModel &model, Edit edit)
{
    updateCurrentBoard(
        model, [&](WhiteboardBoard &board) { editSelected(board, model.selection(), edit); });
}

// The setters that have a guard. With nothing selected only the drawing default the caller
// assigned changes, which the model publishes.
template <typename Edit>
void guardedUpdateSelected(WhiteboardEditorModel &model, Edit edit)
{
    guardedInPlace(model, [&] {
        mutateCurrentBoard(
            model, [&](WhiteboardBoard &board) { editSelected(board, model.selection(), edit); });
    });
}

} // namespace

void setStrokeColor(WhiteboardEditorModel &model, const Color &color)
{
    const std::string text = hexString(color);
    updateSelected(model, [&](WhiteboardElement &e) { e.style.strokeColor = text; });
}

void setFillColor(WhiteboardEditorModel &model, const std::optional<Color> &color)
{
    std::optional<std::string> text;
    if (color) {
        text = hexString(*color);
    }
    updateSelected(model, [&](WhiteboardElement &e) { e.style.fillColor = text; });
}

void setStrokeWidth(WhiteboardEditorModel &model, double width)
{
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.strokeWidth = width; });
}

void setRoughness(WhiteboardEditorModel &model, std::int64_t roughness)
{
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.roughness = roughness; });
}

void setOpacity(WhiteboardEditorModel &model, double opacity)
{
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.opacity = opacity; });
}

void setStrokeStyle(WhiteboardEditorModel &model, WhiteboardStrokeStyle style)
{
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.strokeStyle = style; });
}

void setFillStyle(WhiteboardEditorModel &model, WhiteboardFillStyle style)
{
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.fillStyle = style; });
}

void toggleRoundedCorners(WhiteboardEditorModel &model, bool on)
{
    std::optional<std::int64_t> roundness;
    if (on) {
        roundness = whiteboardRoundedCornersType;
    }
    guardedUpdateSelected(model, [&](WhiteboardElement &e) { e.style.roundnessType = roundness; });
}

void setTextFontSize(WhiteboardEditorModel &model, double size)
{
    if (!std::isfinite(size)) {
        return;
    }
    model.setTextFontSize(size); // clamps to 8…144
    const double kept = model.textFontSize();
    // The text is not re-measured: a label is re-fitted into its container from the size it
    // has now, so it stays centred there with the container's rotation.
    guardedInPlace(model, [&] {
        mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
            editSelectedTexts(board, model.selection(), [&](WhiteboardElement &e) {
                e.fontSize = kept;
                fitLabelOnBoard(e, board);
            });
        });
    });
}

void setLink(WhiteboardEditorModel &model, std::optional<std::string_view> link)
{
    std::optional<std::string> kept;
    if (link && !link->empty()) {
        kept = std::string(*link);
    }
    updateSelected(model, [&](WhiteboardElement &e) { e.link = kept; });
}

void toggleGrid(WhiteboardEditorModel &model)
{
    updateCurrentBoard(model, [](WhiteboardBoard &board) { board.showsGrid = !board.showsGrid; });
}

void beginContinuousStyleChange(WhiteboardEditorModel &model)
{
    model.beginTransaction();
}

void endContinuousStyleChange(WhiteboardEditorModel &model)
{
    model.endTransaction();
}

void setFontFamily(WhiteboardEditorModel &model, WhiteboardFontFamily family)
{
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        editSelectedTexts(board, model.selection(), [&](WhiteboardElement &e) {
            e.fontFamily = family;
            e.fontFamilyID = fontFamilyNumber(family);
        });
    });
}

void setTextAlignment(WhiteboardEditorModel &model, WhiteboardTextAlignment alignment)
{
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        editSelectedTexts(
            board, model.selection(), [&](WhiteboardElement &e) { e.textAlignment = alignment; });
    });
}

void setBackground(WhiteboardEditorModel &model, WhiteboardBackground background)
{
    mutateCurrentBoard(model,
                       [&](WhiteboardBoard &board) { board.background = std::move(background); });
}

void applyFontFamily(WhiteboardEditorModel &model, WhiteboardFontFamily family)
{
    guardedInPlace(model, [&] { setFontFamily(model, family); });
}

void applyTextAlignment(WhiteboardEditorModel &model, WhiteboardTextAlignment alignment)
{
    guardedInPlace(model, [&] { setTextAlignment(model, alignment); });
}

void toggleBackground(WhiteboardEditorModel &model)
{
    const bool isWhite = model.currentBoard().background.kind == WhiteboardBackground::Kind::white;
    commitIfChanged(model, [&] {
        setBackground(model,
                      isWhite ? WhiteboardBackground::black() : WhiteboardBackground::white());
    });
}

WhiteboardElementStyle effectiveStyle(const WhiteboardEditorModel &model)
{
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (model.selection().contains(element->id)) {
            return element->style;
        }
    }
    WhiteboardElementStyle style;
    style.strokeColor = hexString(model.drawingColor());
    if (model.fillColor()) {
        style.fillColor = hexString(*model.fillColor());
    }
    style.strokeWidth = model.lineWidth();
    style.opacity = model.opacity();
    style.roughness = model.roughness();
    return style;
}

double effectiveTextFontSize(const WhiteboardEditorModel &model)
{
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (model.selection().contains(element->id) && isText(*element)) {
            // Only the first selected text counts, even when it has no size of its own.
            return element->fontSize.value_or(model.textFontSize());
        }
    }
    return model.textFontSize();
}

RoughnessLevel elementRoughnessLevel(std::int64_t roughness)
{
    return roughnessLevelFromRawValue(roughness).value_or(RoughnessLevel::medium);
}

} // namespace zentrel
