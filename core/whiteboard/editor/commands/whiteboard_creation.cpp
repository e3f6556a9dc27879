#include "whiteboard/editor/commands/whiteboard_creation.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_selection.h"
#include "whiteboard/model/whiteboard_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace zentrel {
namespace {

bool isShapeKind(WhiteboardElementKind kind)
{
    return kind == WhiteboardElementKind::rectangle || kind == WhiteboardElementKind::ellipse
           || kind == WhiteboardElementKind::diamond;
}

} // namespace

WhiteboardElement makeDefaultElement(const WhiteboardEditorModel &model, WhiteboardElementKind kind)
{
    WhiteboardElement element;
    element.id = model.makeIdentifier();
    element.kind = kind;
    element.style.strokeColor = hexString(model.drawingColor());
    if (model.fillColor()) {
        element.style.fillColor = hexString(*model.fillColor());
    }
    element.style.strokeWidth = model.lineWidth();
    element.style.opacity = model.opacity();
    element.style.roughness = model.roughness();
    return element;
}

void appendCreatedElement(WhiteboardEditorModel &model, WhiteboardElement element)
{
    WhiteboardEditorModel::ChangeBatch batch(model);
    const Uuid id = element.id;
    updateCurrentBoard(model, [&](WhiteboardBoard &board) {
        appendElements(board, {makeElement(std::move(element))});
    });
    model.setSelection({id});
}

void removeElementWithLabels(WhiteboardEditorModel &model, const Uuid &id)
{
    WhiteboardEditorModel::ChangeBatch batch(model);
    updateCurrentBoard(model, [&](WhiteboardBoard &board) { removeElements(board, {id}); });
    // Only the named id leaves the selection; ids of removed labels may stay, as they name nothing.
    WhiteboardSelection selection = model.selection();
    selection.erase(id);
    model.setSelection(std::move(selection));
}

void finishShape(WhiteboardEditorModel &model, WhiteboardElementKind kind, PointF start, PointF end)
{
    if (!isShapeKind(kind) && !isSegmentKind(kind)) {
        return;
    }
    WhiteboardElement element = makeDefaultElement(model, kind);
    // A click without movement must still leave something the user can see and grab.
    element.setFrame({std::min(start.x, end.x),
                      std::min(start.y, end.y),
                      std::max(std::abs(end.x - start.x), 1.0),
                      std::max(std::abs(end.y - start.y), 1.0)});
    if (isSegmentKind(kind)) {
        PointF from = start;
        PointF to = end;
        if (kind == WhiteboardElementKind::arrow) {
            element.startBindingID = bindingTarget(model, start);
            element.endBindingID = bindingTarget(model, end);
            // Both ends aim at the drag's own points, so neither depends on the other's move.
            if (element.startBindingID) {
                if (const ElementPtr shape = elementWithID(model, *element.startBindingID)) {
                    from = edgePoint(*shape, end);
                }
            }
            if (element.endBindingID) {
                if (const ElementPtr shape = elementWithID(model, *element.endBindingID)) {
                    to = edgePoint(*shape, start);
                }
            }
        }
        element.setFrame({from.x, from.y, to.x - from.x, to.y - from.y});
    }
    appendCreatedElement(model, std::move(element));
}

void finishFreehand(WhiteboardEditorModel &model, const std::vector<PointF> &points)
{
    if (points.empty()) {
        return;
    }
    WhiteboardElement element = makeDefaultElement(model, WhiteboardElementKind::freedraw);
    for (const PointF &point : points) {
        element.points.push_back({point.x, point.y});
    }
    appendCreatedElement(model, std::move(element));
}

void addMarker(WhiteboardEditorModel &model, PointF point)
{
    std::optional<std::int64_t> largest;
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (element->markerNumber) {
            largest = std::max(largest.value_or(*element->markerNumber), *element->markerNumber);
        }
    }
    // A foreign file may carry the largest number there is; the next marker repeats it rather
    // than wrapping round to a negative one.
    std::int64_t number = 1;
    if (largest) {
        number = *largest == std::numeric_limits<std::int64_t>::max() ? *largest : *largest + 1;
    }
    WhiteboardElement element = makeDefaultElement(model, WhiteboardElementKind::marker);
    // A marker is a filled disc in its stroke colour, whatever fill is chosen.
    element.style.fillColor = element.style.strokeColor;
    element.setFrame({point.x - whiteboardMarkerRadius,
                      point.y - whiteboardMarkerRadius,
                      2 * whiteboardMarkerRadius,
                      2 * whiteboardMarkerRadius});
    element.markerNumber = number;
    appendCreatedElement(model, std::move(element));
}

void eraseAtPoint(WhiteboardEditorModel &model, PointF point)
{
    // Locked elements and placeholders are erased too: the eraser is the way to clear them.
    if (const std::optional<Uuid> hit = elementAtPoint(model, point)) {
        removeElementWithLabels(model, *hit);
    }
}

std::optional<Uuid> bindingTarget(const WhiteboardEditorModel &model, PointF point)
{
    const double grow =
        whiteboardBindingTolerance / sanitizedViewport(model.currentBoard().viewport).scale;
    const auto &elements = model.currentBoard().elements;
    for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
        if (isShapeKind((*it)->kind)
            && rectContains(insetRect(rotatedBoundingBox(**it), -grow, -grow), point)) {
            return (*it)->id;
        }
    }
    return std::nullopt;
}

PointF edgePoint(const WhiteboardElement &element, PointF target)
{
    const RectF box = normalizedRect(rotatedBoundingBox(element));
    const PointF centre = rectCenter(box);
    const double dx = target.x - centre.x;
    const double dy = target.y - centre.y;
    if (dx == 0 && dy == 0) {
        return centre;
    }
    // A flat box still has an outline one unit out, so the arrow does not end in the centre.
    const double hw = std::max(box.width / 2, 1.0);
    const double hh = std::max(box.height / 2, 1.0);
    double t = 0;
    switch (element.kind) {
    case WhiteboardElementKind::diamond:
        t = 1 / (std::abs(dx) / hw + std::abs(dy) / hh);
        break;
    case WhiteboardElementKind::ellipse:
        t = 1 / std::sqrt(dx * dx / (hw * hw) + dy * dy / (hh * hh));
        break;
    default: {
        constexpr double unlimited = std::numeric_limits<double>::max();
        t = std::min(dx == 0 ? unlimited : hw / std::abs(dx),
                     dy == 0 ? unlimited : hh / std::abs(dy));
        break;
    }
    }
    return {centre.x + t * dx, centre.y + t * dy};
}

void updateTextElement(WhiteboardBoard &board,
                       const Uuid &id,
                       std::string text,
                       std::optional<SizeF> size,
                       WhiteboardTextAlignment alignment,
                       std::optional<Uuid> containerID)
{
    const auto found = std::find_if(board.elements.begin(),
                                    board.elements.end(),
                                    [&](const ElementPtr &element) { return element->id == id; });
    if (found == board.elements.end()) {
        return;
    }
    WhiteboardElement edited = **found;
    edited.text = std::move(text);
    if (size) {
        edited.setFrame({edited.x, edited.y, size->width, size->height});
    }
    edited.textAlignment = alignment;
    edited.containerID = containerID;
    if (edited.kind == WhiteboardElementKind::text) {
        fitLabelOnBoard(edited, board);
    }
    *found = makeElement(std::move(edited));
}

} // namespace zentrel
