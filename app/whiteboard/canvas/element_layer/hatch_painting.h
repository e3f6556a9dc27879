#pragma once

#include "common/path.h"
#include "whiteboard/render/hatch_fill.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>

#include <cstddef>
#include <optional>
#include <vector>

class QPainter;

namespace zentrel {

// A hatch ready to paint, as one thin quadrilateral per line, filled in pieces of a few pixel
// rows: Qt took seconds to fill one outline of all the lines across a view. A hatch too large
// to prepare every line of, or whose outline would cut its lines into too many pieces, keeps
// its `fill` instead, and each painting makes the lines of the part it shows, clipping them to
// the outline where they come whole.
struct PaintedHatch
{
    std::vector<QPolygonF> lines; // every line; none when `fill` is set
    std::optional<HatchFill> fill;
    double width = 1;
    QColor colour;
    std::size_t before = 0; // painted before the element's area of this index, or after all
};

// Each moveTo/lineTo pair of `lines` as the quadrilateral a pen of `width` with flat ends covers.
std::vector<QPolygonF> hatchLineQuads(const Path &lines, double width);

// The hatch lines that reach `visible` (the painter's clip, in its coordinates; none for all of
// its device): every prepared one, or for a hatch kept as its `fill`, those of that part, made
// now.
void paintHatch(QPainter &painter, const PaintedHatch &hatch, const std::optional<QRectF> &visible);

} // namespace zentrel
