#pragma once

#include "common/geometry.h"
#include "common/path.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace zentrel {

// Above this many crossings of one row, a painter's own fill of an area takes far longer than
// rasterizedCoverage (coverage_raster.h).
inline constexpr int denseCrossingsPerRow = 64;

// Whether the outline a pen strokes along `line` crosses some row more than
// denseCrossingsPerRow times. It crosses each row about twice as often as the line does, whose
// far fewer pieces tell.
bool isDenseStroke(const Path &line);

// The heights one edge of an outline spans, from its top to its bottom.
struct EdgeHeights
{
    double top = 0;
    double bottom = 0;
};

inline bool crossesRows(const EdgeHeights &edge)
{
    return edge.top < edge.bottom && std::isfinite(edge.top) && std::isfinite(edge.bottom);
}

// Whether more than `limit` of `edges` cross some one row, counted exactly.
bool crossesARowMoreThan(int limit, const std::vector<EdgeHeights> &edges);

// The same for the `count` edges `forEachEdge(visit)` passes to visit(EdgeHeights), which lie
// from `top` to `bottom`: once, or twice where some row may cross more.
template <typename ForEachEdge>
bool crossesARowMoreThan(
    int limit, double top, double bottom, std::size_t count, ForEachEdge forEachEdge)
{
    // First by bands of rows, about two an edge: no band crossed by few edges holds a row
    // crossed by many, which settles an ordinary outline in one pass. One far point crowds all
    // the rest into one band; the exact count follows then.
    constexpr std::size_t mostBands = 1024;
    if (!(top < bottom) || count <= static_cast<std::size_t>(limit)) {
        return false;
    }
    if (std::isfinite(bottom - top)) {
        const std::size_t bands = std::min(2 * count, mostBands);
        std::array<int, mostBands + 1> bandChanges;
        std::fill_n(bandChanges.begin(), bands + 1, 0);
        const double perBand = static_cast<double>(bands) / (bottom - top);
        const auto bandOf = [&](double y) {
            return std::min(static_cast<std::size_t>(std::max(y - top, 0.0) * perBand), bands - 1);
        };
        forEachEdge([&](const EdgeHeights &edge) {
            if (crossesRows(edge)) {
                ++bandChanges[bandOf(edge.top)];
                --bandChanges[bandOf(edge.bottom) + 1];
            }
        });
        int crossed = 0;
        int most = 0;
        for (std::size_t band = 0; band < bands; ++band) {
            crossed += bandChanges[band];
            most = std::max(most, crossed);
        }
        if (most <= limit) {
            return false;
        }
    }
    std::vector<EdgeHeights> edges;
    forEachEdge([&](const EdgeHeights &edge) { edges.push_back(edge); });
    return crossesARowMoreThan(limit, edges);
}

} // namespace zentrel
