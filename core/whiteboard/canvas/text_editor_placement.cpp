#include "whiteboard/canvas/text_editor_placement.h"

#include "common/geometry.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr double newTextWidth = 280;
constexpr double minimumEditorWidth = 80;
constexpr double defaultFontSize = 24;
constexpr double arrowLabelWidth = 220;
constexpr double arrowLabelHeight = 36;
constexpr double shapeLabelInset = 12;
constexpr double startingLineFactor = 1.6;

// A size the editor can take: within its extent, and 0 for one that is no number.
double onScreen(double size)
{
    return std::isnan(size) ? 0 : std::clamp(size, 0.0, maxTextEditorExtent);
}

} // namespace

TextEditorPlacement newTextPlacement(PointF scenePoint, double fontSize)
{
    TextEditorPlacement placement;
    placement.scenePoint = scenePoint;
    placement.sceneWidth = newTextWidth;
    placement.fontSize = fontSize;
    return placement;
}

TextEditorPlacement elementTextPlacement(const WhiteboardElement &element)
{
    TextEditorPlacement placement;
    placement.scenePoint = {element.x, element.y};
    placement.sceneWidth = std::max(element.width, minimumEditorWidth);
    placement.text = element.text.value_or("");
    placement.typeface = whiteboardTypeface(element);
    placement.fontSize = element.fontSize.value_or(defaultFontSize);
    placement.alignment = element.textAlignment.value_or(WhiteboardTextAlignment::left);
    placement.editingTextID = element.id;
    placement.containerID = element.containerID;
    return placement;
}

TextEditorPlacement containerTextPlacement(const WhiteboardElement &shape, double fontSize)
{
    RectF area;
    if (shape.kind == WhiteboardElementKind::arrow) {
        const PointF centre = rectCenter(shape.frame());
        area = {centre.x - arrowLabelWidth / 2,
                centre.y - arrowLabelHeight / 2,
                arrowLabelWidth,
                arrowLabelHeight};
    } else {
        // As the label will be fitted: a squashed shape keeps its text width.
        area = insetEachAxis(shape.frame(), shapeLabelInset, shapeLabelInset);
    }
    TextEditorPlacement placement;
    placement.scenePoint = {area.x, area.y};
    placement.sceneWidth = std::max(area.width, minimumEditorWidth);
    placement.fontSize = fontSize;
    placement.alignment = WhiteboardTextAlignment::center;
    placement.containerID = shape.id;
    return placement;
}

TextEditorFrame textEditorFrame(const TextEditorPlacement &placement,
                                const WhiteboardViewport &viewport)
{
    const double k = viewport.scale;
    const PointF origin = viewport.toView(placement.scenePoint);
    TextEditorFrame frame;
    frame.fontPixelSize = onScreen(placement.fontSize * k);
    frame.viewRect = {origin.x,
                      origin.y,
                      onScreen(std::max(placement.sceneWidth * k, minimumEditorWidth)),
                      onScreen(std::ceil(frame.fontPixelSize * startingLineFactor))};
    return frame;
}

bool editorWrapsAnywhere(std::string_view text)
{
    std::size_t run = 0;
    for (const char character : text) {
        const bool blank =
            character == ' ' || character == '\t' || character == '\n' || character == '\r';
        run = blank ? 0 : run + 1;
        if (run > runawayWordLength) {
            return true;
        }
    }
    return false;
}

double textEditorHeight(double fontPixelSize, double usedHeight)
{
    return onScreen(std::max(std::ceil(fontPixelSize * startingLineFactor),
                             std::ceil(usedHeight + 2 * textEditorInset)));
}

} // namespace zentrel
