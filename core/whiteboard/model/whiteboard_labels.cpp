#include "whiteboard/model/whiteboard_labels.h"

#include <algorithm>

namespace zentrel {
namespace {

constexpr double labelInset = 12;
constexpr double labelMinimumWidth = 40;
constexpr double labelMinimumHeight = 24;
constexpr double segmentLabelMinimumWidth = 80;
constexpr double segmentLabelMaximumWidth = 220;

} // namespace

RectF labelFrameInContainer(double width, double height, const WhiteboardElement &container)
{
    if (isSegmentKind(container.kind)) {
        const PointF middle = rectCenter(container.frame());
        const double w = std::clamp(width, segmentLabelMinimumWidth, segmentLabelMaximumWidth);
        return {middle.x - w / 2, middle.y - height / 2, w, height};
    }
    // Each axis is inset on its own: a shape squashed flat keeps its text width, so its label
    // keeps breaking where it did.
    const RectF inner = insetEachAxis(container.frame(), labelInset, labelInset);
    const double w = std::max(inner.width, labelMinimumWidth);
    const double h =
        std::min(std::max(inner.height, labelMinimumHeight), std::max(height, labelMinimumHeight));
    const PointF centre = rectCenter(inner);
    return {centre.x - w / 2, centre.y - h / 2, w, h};
}

void fitLabelIntoContainer(WhiteboardElement &label, const WhiteboardElement &container)
{
    label.setFrame(labelFrameInContainer(label.width, label.height, container));
    // A label on an arrow reads along the page, not along the arrow.
    label.rotation = container.kind == WhiteboardElementKind::arrow ? 0 : container.rotation;
}

void centreLabelInContainer(WhiteboardElement &label, const WhiteboardElement &container)
{
    const PointF centre = rectCenter(labelFrameInContainer(label.width, label.height, container));
    label.x = centre.x - label.width / 2;
    label.y = centre.y - label.height / 2;
}

void fitLabelOnBoard(WhiteboardElement &label, const WhiteboardBoard &board)
{
    if (!label.containerID) {
        return;
    }
    for (const ElementPtr &element : board.elements) {
        if (element->id == *label.containerID) {
            fitLabelIntoContainer(label, *element);
            return;
        }
    }
}

} // namespace zentrel
