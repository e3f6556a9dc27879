#include "whiteboard/editor/commands/whiteboard_transforms.h"

#include "common/geometry.h"
#include "whiteboard/editor/commands/whiteboard_creation.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"
#include "whiteboard/model/whiteboard_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zentrel {

namespace {

using ElementEdit = std::function<void(WhiteboardElement &element)>;

using IDSet = std::unordered_set<Uuid>;
using ElementsByID = std::unordered_map<Uuid, ElementPtr>;

const WhiteboardElement *lookUp(const ElementsByID &elements, const std::optional<Uuid> &id)
{
    if (!id) {
        return nullptr;
    }
    const auto found = elements.find(*id);
    return found == elements.end() ? nullptr : found->second.get();
}

bool namesAny(const IDSet &ids, const std::optional<Uuid> &id)
{
    return id && ids.contains(*id);
}

// What one step of a transform touches. Elements live apart on the heap, so each pass over a
// large board costs a cache miss per element; one scan finds everything the later steps need.
struct TransformScan
{
    // The first element with each id in `ids` (a foreign file may repeat an id; the first wins,
    // as everywhere else in the editor), after the edit.
    ElementsByID transformed;
    std::vector<std::size_t> arrows; // arrows with an end bound to an id in `ids`
    std::vector<std::size_t> labels; // texts whose container is in `ids`
    // Every element the step replaced, by index, with what it replaced, in the order done.
    std::vector<std::pair<std::size_t, ElementPtr>> replaced;
};

void replaceElement(WhiteboardBoard &board,
                    TransformScan &scan,
                    std::size_t index,
                    WhiteboardElement element)
{
    scan.replaced.emplace_back(
        index, std::exchange(board.elements[index], makeElement(std::move(element))));
}

// Edits the elements in `ids` (when `edit` is set) by replacing them, since boards share
// elements, and notes the arrows and labels that depend on them.
TransformScan scanBoard(WhiteboardBoard &board, const IDSet &ids, const ElementEdit *edit)
{
    TransformScan scan;
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        ElementPtr &element = board.elements[i];
        if (ids.contains(element->id)) {
            if (edit) {
                WhiteboardElement changed = *element;
                (*edit)(changed);
                replaceElement(board, scan, i, std::move(changed));
            }
            scan.transformed.try_emplace(element->id, element);
        }
        if (element->kind == WhiteboardElementKind::arrow
            && (namesAny(ids, element->startBindingID) || namesAny(ids, element->endBindingID))) {
            scan.arrows.push_back(i);
        } else if (element->kind == WhiteboardElementKind::text
                   && namesAny(ids, element->containerID)) {
            scan.labels.push_back(i);
        }
    }
    return scan;
}

void aimArrows(WhiteboardBoard &board, TransformScan &scan)
{
    // Ends are aimed at the elements as they were before this step, never at an arrow re-aimed
    // earlier in it; the re-aimed arrows are recorded afterwards for the labels on them.
    std::vector<ElementPtr> aimedArrows;
    for (const std::size_t index : scan.arrows) {
        ElementPtr &element = board.elements[index];
        const WhiteboardElement *start = lookUp(scan.transformed, element->startBindingID);
        const WhiteboardElement *end = lookUp(scan.transformed, element->endBindingID);
        if (!start && !end) {
            continue;
        }
        PointF from{element->x, element->y};
        PointF to{element->x + element->width, element->y + element->height};
        if (start) {
            from = edgePoint(*start, to);
        }
        if (end) {
            to = edgePoint(*end, from);
        }
        WhiteboardElement aimed = *element;
        aimed.setFrame({from.x, from.y, to.x - from.x, to.y - from.y});
        replaceElement(board, scan, index, std::move(aimed));
        const ElementPtr &old = scan.replaced.back().second;
        const auto found = scan.transformed.find(old->id);
        if (found != scan.transformed.end() && found->second == old) {
            aimedArrows.push_back(element);
        }
    }
    for (const ElementPtr &arrow : aimedArrows) {
        scan.transformed[arrow->id] = arrow;
    }
}

void refitLabels(WhiteboardBoard &board, TransformScan &scan)
{
    for (const std::size_t index : scan.labels) {
        ElementPtr &element = board.elements[index];
        const WhiteboardElement *container = lookUp(scan.transformed, element->containerID);
        if (!container) {
            continue; // a selected id naming nothing on the board
        }
        WhiteboardElement label = *element;
        fitLabelIntoContainer(label, *container);
        replaceElement(board, scan, index, std::move(label));
    }
}

// A step that would carry an element beyond the geometry limit (a huge scale from a tiny
// selection, or a move of an element already near it) is taken back whole.
void undoIfOutOfRange(WhiteboardBoard &board, TransformScan &scan)
{
    const bool outOfRange =
        std::any_of(scan.replaced.begin(), scan.replaced.end(), [&](const auto &replaced) {
            return geometryOutOfRange(*board.elements[replaced.first]).has_value();
        });
    if (!outOfRange) {
        return;
    }
    for (auto it = scan.replaced.rbegin(); it != scan.replaced.rend(); ++it) {
        board.elements[it->first] = std::move(it->second);
    }
}

// Applies a transform to the selection and brings what depends on it along.
void transformSelection(WhiteboardBoard &board,
                        const WhiteboardSelection &selection,
                        const ElementEdit &edit)
{
    TransformScan scan = scanBoard(board, IDSet(selection.begin(), selection.end()), &edit);
    aimArrows(board, scan);
    refitLabels(board, scan);
    undoIfOutOfRange(board, scan);
}

bool movesLeft(WhiteboardResizeHandle handle)
{
    return handle == WhiteboardResizeHandle::topLeft || handle == WhiteboardResizeHandle::left
           || handle == WhiteboardResizeHandle::bottomLeft;
}

bool movesRight(WhiteboardResizeHandle handle)
{
    return handle == WhiteboardResizeHandle::topRight || handle == WhiteboardResizeHandle::right
           || handle == WhiteboardResizeHandle::bottomRight;
}

bool movesTop(WhiteboardResizeHandle handle)
{
    return handle == WhiteboardResizeHandle::topLeft || handle == WhiteboardResizeHandle::top
           || handle == WhiteboardResizeHandle::topRight;
}

bool movesBottom(WhiteboardResizeHandle handle)
{
    return handle == WhiteboardResizeHandle::bottomLeft || handle == WhiteboardResizeHandle::bottom
           || handle == WhiteboardResizeHandle::bottomRight;
}

// One axis of a handle drag: `origin` and `extent` of the source, which of its edges moves.
void dragEdge(double &origin, double &extent, bool nearMoves, bool farMoves, double delta)
{
    if (nearMoves) {
        origin += delta;
        extent -= delta;
    } else if (farMoves) {
        extent += delta;
    }
}

// The origin stays where the drag put it: squeezed from the left, the left edge follows the
// pointer and the right edge gives way. A flipped extent of at least the minimum stays negative,
// so a handle can still be dragged past the opposite edge.
void keepMinimum(double &extent)
{
    if (std::abs(extent) < whiteboardMinimumResizeExtent) {
        extent = whiteboardMinimumResizeExtent;
    }
}

} // namespace

void moveSelection(WhiteboardEditorModel &model, double dx, double dy)
{
    const std::set<Uuid> &ids = model.selection();
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        transformSelection(
            board, ids, [&](WhiteboardElement &element) { element.translate(dx, dy); });
    });
}

void resizeSelection(WhiteboardEditorModel &model, const RectF &from, const RectF &to)
{
    const std::set<Uuid> &ids = model.selection();
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        transformSelection(
            board, ids, [&](WhiteboardElement &element) { element.resize(from, to); });
    });
}

void dragResizeHandle(WhiteboardEditorModel &model, const RectF &from, const RectF &to)
{
    if (model.selection().empty() || selectionContainsLocked(model)) {
        return;
    }
    if (model.isTransactionOpen()) {
        // Each event resizes the elements as they were at mouse-down, so rounding never
        // accumulates; the batch makes the rewind and the resize one announcement.
        WhiteboardEditorModel::ChangeBatch batch(model);
        model.setLibrary(model.transactionStart());
        resizeSelection(model, from, to);
        return;
    }
    resizeSelection(model, from, to);
}

void rotateSelection(WhiteboardEditorModel &model, PointF pivot, double delta)
{
    const std::set<Uuid> &ids = model.selection();
    const double cosine = std::cos(delta);
    const double sine = std::sin(delta);
    mutateCurrentBoard(model, [&](WhiteboardBoard &board) {
        transformSelection(board, ids, [&](WhiteboardElement &element) {
            // Rotation turns the bounds about their own centre, so that centre is also the
            // centre of the rotated box and does not move when the rotation changes.
            const PointF centre = rectCenter(element.bounds());
            const double vx = centre.x - pivot.x;
            const double vy = centre.y - pivot.y;
            const PointF target{pivot.x + vx * cosine - vy * sine,
                                pivot.y + vx * sine + vy * cosine};
            element.rotation += delta;
            element.translate(target.x - centre.x, target.y - centre.y);
        });
    });
}

void updateBoundArrows(WhiteboardBoard &board, const std::set<Uuid> &ids)
{
    TransformScan scan = scanBoard(board, IDSet(ids.begin(), ids.end()), nullptr);
    aimArrows(board, scan);
}

void refitContainedTexts(WhiteboardBoard &board, const std::set<Uuid> &ids)
{
    TransformScan scan = scanBoard(board, IDSet(ids.begin(), ids.end()), nullptr);
    refitLabels(board, scan);
}

RectF resizedSelectionRect(const RectF &source,
                           WhiteboardResizeHandle handle,
                           PointF delta,
                           bool keepsMinimum)
{
    RectF rect = source;
    dragEdge(rect.x, rect.width, movesLeft(handle), movesRight(handle), delta.x);
    dragEdge(rect.y, rect.height, movesTop(handle), movesBottom(handle), delta.y);
    // Both extents, whichever handle moved: a selection flatter than the minimum grows to it.
    if (keepsMinimum) {
        keepMinimum(rect.width);
        keepMinimum(rect.height);
    }
    return rect;
}

bool selectionKeepsMinimumSize(const WhiteboardEditorModel &model)
{
    for (const ElementPtr &element : selectedElements(model)) {
        if (!isSegmentKind(element->kind)) {
            return true;
        }
    }
    return false;
}

} // namespace zentrel
