#include "whiteboard/editor/whiteboard_selection.h"

#include "whiteboard/model/whiteboard_geometry.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

// Ellipses and diamonds count hits a little beyond their grown frame (up to 1.1 half-extents);
// the quick rejection below must reach further than any kind so it never drops a real hit.
constexpr double quickRejectReach = 1.2;

// Whether a freehand stroke certainly misses `point`: no hit lies farther from its points than
// the tolerance and the stroke width.
bool strokeCertainlyMisses(const WhiteboardElement &element, PointF point, double reach)
{
    if (element.rotation == 0) {
        double left = element.points.front().x, right = left;
        double top = element.points.front().y, bottom = top;
        for (const WhiteboardPoint &p : element.points) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        return !(point.x >= left - reach && point.x <= right + reach && point.y >= top - reach
                 && point.y <= bottom + reach);
    }
    // The exact test turns the point about the stored frame's centre, which keeps its distance
    // to that centre; the farthest point bounds every rotation.
    const double cx = element.x + element.width / 2;
    const double cy = element.y + element.height / 2;
    double farthest = 0;
    for (const WhiteboardPoint &p : element.points) {
        farthest = std::max(farthest, (p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy));
    }
    const double radius = (std::sqrt(farthest) + reach) * quickRejectReach;
    const double dx = point.x - cx;
    const double dy = point.y - cy;
    return !(dx * dx + dy * dy <= radius * radius);
}

// Whether `point` certainly misses `element`, decided without trigonometry or square roots of
// its own. A board of thousands of elements is scanned on every mouse-down, and most elements
// are far away; the exact test then decides the few that remain.
bool certainlyMisses(const WhiteboardElement &element, PointF point, double tolerance)
{
    // Only strokes and lines reach past their grown frame by their width. Reading the style
    // of the others would cost a cache miss per element for nothing.
    double stroke = 0;
    switch (element.kind) {
    case WhiteboardElementKind::freedraw:
        return !element.points.empty()
               && strokeCertainlyMisses(element,
                                        point,
                                        (tolerance + std::max(element.style.strokeWidth, 0.0))
                                            * quickRejectReach);
    case WhiteboardElementKind::line:
    case WhiteboardElementKind::arrow:
        stroke = std::max(element.style.strokeWidth, 0.0);
        break;
    default:
        break;
    }
    const double reachX = (std::abs(element.width) / 2 + tolerance) * quickRejectReach + stroke;
    const double reachY = (std::abs(element.height) / 2 + tolerance) * quickRejectReach + stroke;
    const double dx = point.x - (element.x + element.width / 2);
    const double dy = point.y - (element.y + element.height / 2);
    if (element.rotation == 0) {
        return !(std::abs(dx) <= reachX && std::abs(dy) <= reachY);
    }
    // Turning keeps the distance to the centre, so the reach's corner bounds every rotation.
    return !(dx * dx + dy * dy <= (reachX * reachX + reachY * reachY) * quickRejectReach);
}

constexpr std::size_t prefetchDistance = 8;

// The frame and kind, read by every rejection; a hint only, never a behaviour.
void prefetchElement(const WhiteboardElement &element)
{
    __builtin_prefetch(&element.kind);
    __builtin_prefetch(&element.rotation);
}

// Closed on every side: a marquee only needs to touch a box, and an empty marquee (a click
// without a drag) or a flat box (a straight line) still counts.
bool boxesTouch(const RectF &a, const RectF &b)
{
    return minX(a) <= maxX(b) && minX(b) <= maxX(a) && minY(a) <= maxY(b) && minY(b) <= maxY(a);
}

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
    // A damaged stored scale would make the tolerance negative or infinite.
    const double tolerance =
        whiteboardHitTolerance / sanitizedViewport(model.currentBoard().viewport).scale;
    const auto &elements = model.currentBoard().elements;
    for (std::size_t i = elements.size(); i-- > 0;) {
        // Elements lie scattered on the heap; asking for the next ones early lets their loads
        // overlap instead of stalling one after another.
        if (i >= prefetchDistance) {
            prefetchElement(*elements[i - prefetchDistance]);
        }
        const WhiteboardElement &element = *elements[i];
        if (!certainlyMisses(element, point, tolerance) && element.hitTest(point, tolerance)) {
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
    const RectF marquee = normalizedRect(rect);
    std::vector<const WhiteboardElement *> roots;
    std::vector<const WhiteboardElement *> labels;
    std::unordered_set<Uuid> containers;
    for (const ElementPtr &element : board.elements) {
        if (!boxesTouch(rotatedBoundingBox(*element), marquee)) {
            continue;
        }
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
