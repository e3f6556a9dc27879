#include "whiteboard/editor/commands/whiteboard_text.h"

#include "common/geometry.h"
#include "common/text.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"
#include "whiteboard/model/whiteboard_labels.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace zentrel {
namespace {

// An extent the element can keep: positive, finite and within the geometry limit.
double storableExtent(double extent)
{
    return std::isnan(extent) ? 0 : std::clamp(std::abs(extent), 0.0, whiteboardGeometryLimit);
}

} // namespace

void commitText(WhiteboardEditorModel &model,
                std::string_view text,
                PointF point,
                std::optional<Uuid> editedID,
                SizeF size,
                WhiteboardTextAlignment alignment,
                std::optional<Uuid> containerID)
{
    const std::string_view kept = trimmedBlanks(text);
    size = {storableExtent(size.width), storableExtent(size.height)};
    if (kept.empty()) {
        // Emptying a text deletes it; an empty new text was never there.
        if (editedID) {
            removeElementWithLabels(model, *editedID);
        }
        return;
    }
    if (editedID) {
        updateCurrentBoard(model, [&](WhiteboardBoard &board) {
            updateTextElement(board, *editedID, std::string(kept), size, alignment, containerID);
        });
        return;
    }
    WhiteboardElement element = makeDefaultElement(model, WhiteboardElementKind::text);
    element.setFrame({point.x, point.y, size.width, size.height});
    element.text = std::string(kept);
    element.fontSize = model.textFontSize();
    element.textAlignment = alignment;
    element.containerID = containerID;
    if (containerID) {
        // A missing container leaves the text where it was typed, still naming the container.
        if (const ElementPtr container = elementWithID(model, *containerID)) {
            // Fitted like an edited label, rotation included, so a new label in a turned shape
            // does not stand upright until the shape is next moved.
            fitLabelIntoContainer(element, *container);
        }
    }
    appendCreatedElement(model, std::move(element));
}

void commitText(WhiteboardEditorModel &model,
                std::string_view text,
                PointF point,
                std::optional<Uuid> editedID,
                const WhiteboardTextMeasure &measure,
                WhiteboardTextAlignment alignment,
                std::optional<Uuid> containerID)
{
    double fontSize = model.textFontSize();
    if (editedID) {
        if (const ElementPtr edited = elementWithID(model, *editedID)) {
            fontSize = edited->fontSize.value_or(fontSize);
        }
    }
    const SizeF size = measure ? measure(trimmedBlanks(text), fontSize) : SizeF{};
    commitText(model, text, point, editedID, size, alignment, containerID);
}

std::optional<WhiteboardElement> textInContainer(const WhiteboardEditorModel &model,
                                                 const Uuid &containerID)
{
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (element->kind == WhiteboardElementKind::text && element->containerID == containerID) {
            return *element;
        }
    }
    return std::nullopt;
}

bool hasMarkers(const WhiteboardEditorModel &model)
{
    const auto &elements = model.currentBoard().elements;
    return std::any_of(elements.begin(), elements.end(), [](const ElementPtr &element) {
        return element->kind == WhiteboardElementKind::marker;
    });
}

void renumberMarkers(WhiteboardEditorModel &model)
{
    updateCurrentBoard(model, [](WhiteboardBoard &board) {
        std::int64_t next = 1;
        for (ElementPtr &element : board.elements) {
            if (element->kind != WhiteboardElementKind::marker) {
                continue;
            }
            // Untouched markers keep their pointer, so an ordered board compares equal cheaply.
            if (element->markerNumber != next) {
                WhiteboardElement numbered = *element;
                numbered.markerNumber = next;
                element = makeElement(std::move(numbered));
            }
            ++next;
        }
    });
}

} // namespace zentrel
