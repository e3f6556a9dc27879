#pragma once

#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <cstddef>
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
    // Each area is filled with its colour in this order: the shape's fill, the outline and the
    // text; the hatch goes between the fill and the outline. Lines are stroked into areas once,
    // here, rather than on every redraw: the stroker's joins are most of a rough line's cost, and
    // the painter's own dashing would skip ahead differently depending on what lies outside the
    // device. Text is laid out and turned into glyph outlines once too.
    std::vector<std::pair<QPainterPath, QColor>> areas;

    // The hatch, painted just before the area at `before` (after the last when there is none)
    // as one thin quadrilateral per line: Qt fills those some twenty times faster than one
    // outline of all the lines, which took it seconds for a view full of them. A hatch too large to
    // prepare every line of keeps its `fill` instead, and each painting makes the lines of the part
    // it shows.
    struct Hatch
    {
        std::vector<QPolygonF> lines; // every line; none when `fill` is set
        std::optional<HatchFill> fill;
        double width = 1;
        QColor colour;
        std::size_t before = 0;
    };

    std::optional<Hatch> hatch;
};

// The element drawn at its own roughness. `viewportScale` matters only where elementPaintScale
// says so: placeholders keep their size on screen, and long paths are thinned for it.
PaintedElement paintedElement(const WhiteboardElement &element, double viewportScale);
PaintedElement paintedPlan(const ElementRenderPlan &plan);

// The same element moved by `offset`, its paths shared rather than prepared again.
PaintedElement movedBy(const PaintedElement &element, QPointF offset);

// How paintElement fills the shared paths: as they are, or each through a copy of its own, as a
// painting beside another one on the same paths must (Qt builds a path's paint data unguarded).
enum class AreaPaths {
    shared,
    ownCopies,
};

// Paints in scene coordinates: the caller has applied the viewport transform. Areas that lie
// outside the painter's clip are skipped.
void paintElement(QPainter &painter,
                  const PaintedElement &element,
                  AreaPaths paths = AreaPaths::shared);

} // namespace zentrel
