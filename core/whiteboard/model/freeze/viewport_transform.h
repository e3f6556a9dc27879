#pragma once

#include "common/geometry.h"

namespace zentrel {

// The view position of an annotation session over a frozen screen: view = scene × scale +
// translation. Unlike a board's WhiteboardViewport it is never written to a file.
struct ViewportTransform
{
    double scale = 1;
    PointF translation;

    friend bool operator==(const ViewportTransform &, const ViewportTransform &) = default;
};

} // namespace zentrel
