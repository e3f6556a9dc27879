#pragma once

#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QTransform>

#include <memory>
#include <optional>

class QPainter;
class QTextLayout;

namespace zentrel {

// One element ready to paint: its render plan turned into Qt paths, pens and a laid-out text
// once, so a redraw only fills and strokes.
struct PaintedElement
{
    std::optional<QTransform> rotation; // about the frame centre; none when upright
    QPainterPath fillPath;
    QColor fillColor;
    bool hasFill = false;
    QPainterPath hatchPath;
    QPen hatchPen;
    bool hasHatch = false;
    QPainterPath strokePath;
    QPen strokePen;
    bool hasStroke = false;
    // A dashed stroke is turned into the outline of its dashes once: the painter's own dashing
    // skips ahead differently depending on what lies outside the device, so dashes drawn in
    // different frames would not line up.
    QPainterPath dashOutline;
    bool hasDashOutline = false;
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
