#pragma once

#include "whiteboard/canvas/element_layer/area_paths.h"
#include "whiteboard/canvas/element_layer/hatch_painting.h"
#include "whiteboard/canvas/element_layer/painted_text.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QColor>
#include <QPainterPath>
#include <QTransform>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace zentrel {

// One element ready to paint: its render plan turned into filled Qt paths once, so a redraw
// only fills.
struct PaintedElement
{
    // Applied to the areas: the turn about the frame centre, and for an element reused after a
    // move, that move. None when upright and in place.
    std::optional<QTransform> placement;
    // Each area is filled with its colour in this order: the shape's fill and the outline; the
    // hatch goes between the fill and the outline. Lines are stroked into areas once, here, rather
    // than on every redraw: the stroker's joins are most of a rough line's cost, and the
    // painter's own dashing would skip ahead differently depending on what lies outside the
    // device.
    std::vector<std::pair<QPainterPath, QColor>> areas;
    // Per area, whether it is filled through its rasterised coverage (see isDenseArea); none
    // where no area is.
    std::vector<bool> denseAreas;

    // Painted just before the area at `hatch->before`.
    std::optional<PaintedHatch> hatch;
    // Painted last, laid out once; read-only, so paintings on any thread and moved copies share
    // it.
    std::shared_ptr<const PaintedText> text;
};

// The element drawn at its own roughness. `viewportScale` matters only where elementPaintScale
// says so: placeholders keep their size on screen, and long paths are thinned for it.
PaintedElement paintedElement(const WhiteboardElement &element, double viewportScale);
PaintedElement paintedPlan(const ElementRenderPlan &plan);

// The same element moved by `offset`, its paths shared rather than prepared again.
PaintedElement movedBy(const PaintedElement &element, QPointF offset);

// Paints in scene coordinates: the caller has applied the viewport transform. Areas that lie
// outside the painter's clip are skipped.
void paintElement(QPainter &painter,
                  const PaintedElement &element,
                  AreaPaths paths = AreaPaths::shared);

} // namespace zentrel
