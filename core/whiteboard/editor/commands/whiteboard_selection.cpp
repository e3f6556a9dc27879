#include "whiteboard/editor/commands/whiteboard_selection.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_hit_index.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

// The step of an expansion that depends on the clicked element alone: the root it stands for
// and the outermost group of that root, or none when the root is missing.
struct ExpansionRoot
{
    const WhiteboardElement *root = nullptr;
    std::optional<Uuid> outermostGroup;
};

// Everything an expansion of several roots selects, gathered in two passes over the board, so
// a marquee over thousands of elements costs the same as one click.
WhiteboardSelection expandRoots(const WhiteboardBoard &board,
                                const std::vector<const WhiteboardElement *> &roots)
{
    std::unordered_set<Uuid> groups;
    std::unordered_set<Uuid> members;
    for (const WhiteboardElement *root : roots) {
        if (root->groupIDs.empty()) {
            members.insert(root->id);
        } else {
            groups.insert(root->groupIDs.back());
        }
    }
    if (!groups.empty()) {
        for (const ElementPtr &element : board.elements) {
            const auto &ids = element->groupIDs;
            if (std::any_of(
                    ids.begin(), ids.end(), [&](const Uuid &g) { return groups.contains(g); })) {
                members.insert(element->id);
            }
        }
    }
    // Labels of the chosen elements join them; labels of labels are not followed.
    WhiteboardSelection result(members.begin(), members.end());
    for (const ElementPtr &element : board.elements) {
        if (element->containerID && members.contains(*element->containerID)) {
            result.insert(element->id);
        }
    }
    return result;
}

const WhiteboardElement *firstWithID(const WhiteboardBoard &board, const Uuid &id)
{
    for (const ElementPtr &element : board.elements) {
        if (element->id == id) {
            return element.get();
        }
    }
    return nullptr;
}

} // namespace

RectF rotatedBoundingBox(const WhiteboardElement &element)
{
    const RectF bounds = element.bounds();
    if (element.rotation == 0 || !std::isfinite(element.rotation)) {
        return bounds;
    }
    const PointF centre = rectCenter(bounds);
    const double cosine = std::abs(std::cos(element.rotation));
    const double sine = std::abs(std::sin(element.rotation));
    const double halfWidth = (bounds.width * cosine + bounds.height * sine) / 2;
    const double halfHeight = (bounds.width * sine + bounds.height * cosine) / 2;
    return {centre.x - halfWidth, centre.y - halfHeight, halfWidth * 2, halfHeight * 2};
}

std::optional<Uuid> elementAtPoint(const WhiteboardEditorModel &model, PointF point)
{
    const WhiteboardHitIndex &index = whiteboardHitIndex(model);
    const auto &elements = model.currentBoard().elements;
    for (std::size_t i = elements.size(); i-- > 0;) {
        if (!index.reaches[i].contains(point)) {
            continue;
        }
        const WhiteboardElement &element = *elements[i];
        if (!index.certainlyMisses(element, point) && element.hitTest(point, index.tolerance)) {
            return element.id;
        }
    }
    return std::nullopt;
}

ElementPtr elementWithID(const WhiteboardEditorModel &model, const Uuid &id)
{
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (element->id == id) {
            return element;
        }
    }
    return nullptr;
}

std::optional<RectF> selectionBounds(const WhiteboardEditorModel &model)
{
    std::optional<RectF> result;
    for (const ElementPtr &element : model.currentBoard().elements) {
        if (!model.selection().contains(element->id)) {
            continue;
        }
        const RectF box = rotatedBoundingBox(*element);
        result = result ? unionRect(*result, box) : box;
    }
    return result;
}

WhiteboardSelection expandedSelectionIDs(const WhiteboardEditorModel &model, const Uuid &id)
{
    const WhiteboardBoard &board = model.currentBoard();
    const WhiteboardElement *element = firstWithID(board, id);
    if (!element) {
        return {id};
    }
    // A click on a label stands for its container.
    const WhiteboardElement *root =
        element->containerID ? firstWithID(board, *element->containerID) : element;
    if (!root) {
        return {id};
    }
    return expandRoots(board, {root});
}

void selectElement(WhiteboardEditorModel &model, const std::optional<Uuid> &id, bool extending)
{
    if (!id) {
        if (!extending) {
            model.setSelection({});
        }
        return;
    }
    const WhiteboardSelection expanded = expandedSelectionIDs(model, *id);
    if (!extending) {
        model.setSelection(expanded); // publishes nothing when already equal
        return;
    }
    WhiteboardSelection selection = model.selection();
    const bool allSelected = std::all_of(
        expanded.begin(), expanded.end(), [&](const Uuid &e) { return selection.contains(e); });
    // A partly selected group is completed first; only a further toggle removes it.
    for (const Uuid &e : expanded) {
        if (allSelected) {
            selection.erase(e);
        } else {
            selection.insert(e);
        }
    }
    model.setSelection(std::move(selection));
}

void selectInMarquee(WhiteboardEditorModel &model, const RectF &rect, bool extending)
{
    const WhiteboardBoard &board = model.currentBoard();
    const WhiteboardHitBox marquee = whiteboardHitBox(rect);
    const std::vector<WhiteboardHitBox> &boxes = whiteboardHitIndex(model).rotatedBoxes(board);
    std::vector<const WhiteboardElement *> roots;
    std::vector<const WhiteboardElement *> labels;
    std::unordered_set<Uuid> containers;
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        if (!boxes[i].touches(marquee)) {
            continue;
        }
        const ElementPtr &element = board.elements[i];
        if (element->containerID) {
            labels.push_back(element.get());
            containers.insert(*element->containerID);
        } else {
            roots.push_back(element.get());
        }
    }
    // Labels stand for their containers, found as a click's lookup would: first in board order.
    std::unordered_map<Uuid, const WhiteboardElement *> found;
    if (!containers.empty()) {
        for (const ElementPtr &element : board.elements) {
            if (containers.contains(element->id)) {
                found.try_emplace(element->id, element.get());
            }
        }
    }
    WhiteboardSelection result;
    for (const WhiteboardElement *label : labels) {
        const auto container = found.find(*label->containerID);
        if (container == found.end()) {
            result.insert(label->id); // a label whose container is gone selects itself
        } else {
            roots.push_back(container->second);
        }
    }
    result.merge(expandRoots(board, roots));
    if (extending) {
        result.insert(model.selection().begin(), model.selection().end());
    }
    model.setSelection(std::move(result));
}

} // namespace zentrel
