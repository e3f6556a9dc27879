#pragma once

#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPainter;
class QTextLayout;

namespace zentrel {

// One element ready to paint: its render plan turned into Qt paths, pens and a laid-out text
// once, so a redraw only fills and strokes.
struct PaintedElement
{
    std::optional<QTransform> rotation; // about the frame centre; none when upright
    // Each area is filled with its colour in this order: the shape's fill, the hatch lines and
    // the outline. Lines are stroked into areas once, here, rather than on every redraw: the
    // stroker's joins are most of a rough line's cost, and the painter's own dashing would skip
    // ahead differently depending on what lies outside the device.
    std::vector<std::pair<QPainterPath, QColor>> areas;
    std::shared_ptr<QTextLayout> text; // laid out from its box's top-left corner
    QPointF textOrigin;
    QColor textColor;
};

// The element drawn at its own roughness. `viewportScale` matters only for placeholders, which
// keep their size on screen.
PaintedElement paintedElement(const WhiteboardElement &element, double viewportScale);
PaintedElement paintedPlan(const ElementRenderPlan &plan);

// Paints in scene coordinates: the caller has applied the viewport transform.
void paintElement(QPainter &painter, const PaintedElement &element);

} // namespace zentrel
