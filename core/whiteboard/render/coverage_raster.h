#pragma once

#include "common/geometry.h"

#include <cstdint>
#include <vector>

namespace zentrel {

// How much of each pixel of a `width` × `height` grid an area covers, 0 to 255, row by row.
struct CoverageMask
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;
};

// The coverage of the area inside `polygons` (each closed, in pixel units: pixel (0, 0) spans
// 0..1 on both axes), by the non-zero winding rule or else even-odd: the exact share of each
// pixel its edges' pieces cut off, summed as signed windings along the row, as a painter's own
// antialiased fill gives it. It costs each row the edges crossing it once, where a painter's
// own fill costs their square, which an outline of thousands of teeth turns to minutes; and
// only the part of the outline that reaches the grid, however far its points lie.
CoverageMask rasterizedCoverage(const std::vector<std::vector<PointF>> &polygons,
                                bool nonZero,
                                int width,
                                int height);

} // namespace zentrel
