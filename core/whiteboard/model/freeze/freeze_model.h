#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "drawing/drawing_stroke.h"
#include "drawing/numbered_marker.h"

#include <string>
#include <variant>

namespace zentrel {

// Annotations drawn over a scene (a frozen screen or a board): the intermediate form of the older
// whiteboard document during its migration.

// A text label placed at its top-left point.
struct WhiteboardText
{
    PointF point;
    std::string text;
    Color color;
    double fontSize = 0;
};

struct DiamondShape
{
    RectF rect;
    Color color;
    double lineWidth = 0;

    friend bool operator==(const DiamondShape &, const DiamondShape &) = default;
};

struct StraightLine
{
    PointF start;
    PointF end;
    Color color;
    double lineWidth = 0;

    friend bool operator==(const StraightLine &, const StraightLine &) = default;
};

// One annotation; the alternatives are in the order stroke, marker, text, diamond, line.
using FreezeAnnotationItem =
    std::variant<DrawingStroke, NumberedMarker, WhiteboardText, DiamondShape, StraightLine>;

} // namespace zentrel
