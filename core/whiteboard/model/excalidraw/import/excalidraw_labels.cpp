#include "whiteboard/model/excalidraw/import/excalidraw_labels.h"

#include "whiteboard/model/excalidraw/import/excalidraw_kept_keys.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"
#include "whiteboard/model/whiteboard_labels.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

// Import gives every element it reads a seed, the editor none; a label made here was fitted into
// its container when it was made, and follows it since.
bool isReadLabel(const WhiteboardElement &element)
{
    return element.kind == WhiteboardElementKind::text && element.containerID
           && element.excalidrawSeed;
}

} // namespace

void placeExcalidrawLabels(WhiteboardBoard &board)
{
    std::vector<std::size_t> labels;
    std::unordered_map<Uuid, const WhiteboardElement *> containers;
    for (std::size_t i = 0; i < board.elements.size(); ++i) {
        if (isReadLabel(*board.elements[i])) {
            labels.push_back(i);
            containers.try_emplace(*board.elements[i]->containerID, nullptr);
        }
    }
    if (labels.empty()) {
        return;
    }
    // The first element with the id is the container, as the editor finds it.
    for (const ElementPtr &element : board.elements) {
        const auto found = containers.find(element->id);
        if (found != containers.end() && !found->second) {
            found->second = element.get();
        }
    }
    for (const std::size_t index : labels) {
        const WhiteboardElement &label = *board.elements[index];
        const WhiteboardElement *container = containers.at(*label.containerID);
        if (!container || !isSegmentKind(container->kind)) {
            continue;
        }
        WhiteboardElement placed = label;
        centreLabelInContainer(placed, *container);
        if ((placed.x == label.x && placed.y == label.y) || geometryOutOfRange(placed)) {
            continue;
        }
        if (placed.excalidrawSource && !isExcalidrawEdited(label)) {
            placed.excalidrawSource->shapeHash = excalidrawShapeHash(placed);
        }
        board.elements[index] = makeElement(std::move(placed));
    }
}

} // namespace zentrel
