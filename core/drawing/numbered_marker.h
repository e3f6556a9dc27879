#pragma once

#include "common/color.h"
#include "common/geometry.h"

namespace zentrel {

// A numbered disc placed with the number tool; it never fades.
struct NumberedMarker
{
    PointF point; // centre, in canvas coordinates
    int number = 1;
    Color color;

    friend bool operator==(const NumberedMarker &, const NumberedMarker &) = default;
};

} // namespace zentrel
