#include "whiteboard/render/coverage_raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace zentrel {

namespace {

// A piece of the outline inside the grid's rows, from its top (x0, y0) down to (x1, y1), with
// the pieces left of the grid moved onto its left side; `winding` +1 where the outline runs
// down it.
struct Edge
{
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
    double winding = 1;

    double xAt(double y) const
    {
        const double t = (y - y0) / (y1 - y0);
        return x0 * (1 - t) + x1 * t;
    }
};

// The point a share `t` of the way from `a` to `b`, without the overflow of b − a.
PointF between(PointF a, PointF b, double t)
{
    return {a.x * (1 - t) + b.x * t, a.y * (1 - t) + b.y * t};
}

// The rows a `width` × `height` grid spans, with what the edges left of it add to each: those
// only wind the pixels of the rows they cross, by the share of each row they cross, whatever
// their x. Kept per row (a running sum of whole rows, one entry more, and the parts of rows),
// rather than as edges walked on every row: a view of a small part of a comb leaves out most of
// its teeth.
struct LeftWinding
{
    std::vector<double> wholeRows;
    std::vector<double> partRows;

    void add(double top, double bottom, double winding)
    {
        const auto first = static_cast<std::size_t>(top);
        const auto last = static_cast<std::size_t>(bottom);
        if (first == last) {
            partRows[first] += (bottom - top) * winding;
            return;
        }
        partRows[first] += (static_cast<double>(first + 1) - top) * winding;
        wholeRows[first + 1] += winding;
        wholeRows[last] -= winding;
        if (last < partRows.size()) {
            partRows[last] += (bottom - static_cast<double>(last)) * winding;
        }
    }
};

// Adds the part of the edge a→b (a above b, both within the grid's rows) that reaches the grid:
// a piece right of it never matters, a piece left of it only winds.
void addEdge(
    PointF a, PointF b, double winding, double width, std::vector<Edge> &edges, LeftWinding &left)
{
    // Cut where it crosses the grid's sides; a cut outside the edge cuts off nothing.
    std::array<double, 4> cuts{0, 0, 0, 1};
    for (std::size_t side = 0; side < 2; ++side) {
        const double t = ((side == 0 ? 0 : width) - a.x) / (b.x - a.x);
        cuts[side + 1] = t > 0 && t < 1 ? t : 0;
    }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        const PointF from = between(a, b, cuts[i]);
        const PointF to = between(a, b, cuts[i + 1]);
        const double middle = (from.x + to.x) / 2;
        if (!(from.y < to.y) || middle >= width) {
            continue;
        }
        if (middle <= 0) {
            left.add(from.y, to.y, winding);
            continue;
        }
        edges.push_back(
            {std::clamp(from.x, 0.0, width), from.y, std::clamp(to.x, 0.0, width), to.y, winding});
    }
}

// The edges of the outline inside the grid, clipped to its rows and sorted by their tops.
std::vector<Edge> edgesOf(const std::vector<std::vector<PointF>> &polygons,
                          double width,
                          double height,
                          LeftWinding &left)
{
    std::vector<Edge> edges;
    for (const auto &polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            PointF a = polygon[i];
            PointF b = polygon[(i + 1) % polygon.size()];
            if (!(a.y != b.y) || !isFinite(a) || !isFinite(b)) {
                continue;
            }
            const double winding = a.y < b.y ? 1 : -1;
            if (b.y < a.y) {
                std::swap(a, b);
            }
            if (b.y <= 0 || a.y >= height || std::min(a.x, b.x) >= width) {
                continue;
            }
            const PointF top = a.y < 0 ? between(a, b, -a.y / (b.y - a.y)) : a;
            const PointF bottom = b.y > height ? between(a, b, (height - a.y) / (b.y - a.y)) : b;
            addEdge({top.x, std::max(top.y, 0.0)},
                    {bottom.x, std::min(bottom.y, height)},
                    winding,
                    width,
                    edges,
                    left);
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge &l, const Edge &r) { return l.y0 < r.y0; });
    return edges;
}

// One pixel row's coverage as it builds up, cell by cell, as a signed winding: how much of each
// pixel the pieces of edges in it cover towards the right (`area`), what each piece adds to the
// pixels right of its own (`cover`), and both for runs of whole pixels a long piece crosses
// alike (`run`, a running sum: each of those pixels gets half, those right of it all).
struct RowCells
{
    std::vector<double> area;
    std::vector<double> cover;
    std::vector<double> run;

    explicit RowCells(std::size_t width)
        : area(width)
        , cover(width)
        , run(width + 1)
    {}

    // Adds the piece of an edge from (xa, top) to (xb, bottom) within one row, where `height`
    // is bottom − top signed by the edge's winding.
    void addPiece(double xa, double xb, double height)
    {
        const auto width = static_cast<double>(area.size());
        const double from = std::min(xa, xb);
        const double to = std::max(xa, xb);
        const double firstCell = std::floor(from);
        if (firstCell >= width) {
            return;
        }
        const auto first = static_cast<std::size_t>(firstCell);
        if (!(to > firstCell + 1)) {
            addCell(first, (from + to) / 2, height);
            return;
        }
        const double perPixel = height / (to - from);
        addCell(first, (from + firstCell + 1) / 2, perPixel * (firstCell + 1 - from));
        const double lastCell = std::min(std::ceil(to) - 1, width - 1);
        const auto last = static_cast<std::size_t>(lastCell);
        run[first + 1] += perPixel;
        run[last] -= perPixel;
        if (lastCell > firstCell) {
            addCell(last, (lastCell + to) / 2, perPixel * (to - lastCell));
        }
    }

    void addCell(std::size_t cell, double x, double height)
    {
        area[cell] += height * (static_cast<double>(cell + 1) - x);
        cover[cell] += height;
    }
};

std::uint8_t alphaOf(double winding, bool nonZero)
{
    double share = std::abs(winding);
    if (!nonZero) {
        share = std::fmod(share, 2.0);
        share = share > 1 ? 2 - share : share;
    }
    return static_cast<std::uint8_t>(std::lround(255 * std::min(share, 1.0)));
}

} // namespace

CoverageMask rasterizedCoverage(const std::vector<std::vector<PointF>> &polygons,
                                bool nonZero,
                                int width,
                                int height)
{
    CoverageMask mask{std::max(width, 0), std::max(height, 0), {}};
    const auto columns = static_cast<std::size_t>(mask.width);
    const auto rows = static_cast<std::size_t>(mask.height);
    mask.alpha.assign(columns * rows, 0);
    if (columns == 0) {
        return mask;
    }
    LeftWinding left{std::vector<double>(rows + 1), std::vector<double>(rows)};
    const std::vector<Edge> edges = edgesOf(polygons, mask.width, mask.height, left);
    // The edges that reach the row, in no order: each adds to the cells it crosses.
    std::vector<const Edge *> active;
    std::size_t next = 0;
    double leftRows = 0;
    RowCells cells(columns);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto top = static_cast<double>(row);
        const double bottom = top + 1;
        while (next < edges.size() && edges[next].y0 < bottom) {
            active.push_back(&edges[next++]);
        }
        for (const Edge *edge : active) {
            const double from = std::max(edge->y0, top);
            const double to = std::min(edge->y1, bottom);
            if (from < to) {
                cells.addPiece(edge->xAt(from), edge->xAt(to), (to - from) * edge->winding);
            }
        }
        std::erase_if(active, [bottom](const Edge *edge) { return edge->y1 <= bottom; });
        leftRows += left.wholeRows[row];
        double winding = leftRows + left.partRows[row];
        double runHeight = 0;
        std::uint8_t *pixels = mask.alpha.data() + row * columns;
        for (std::size_t x = 0; x < columns; ++x) {
            runHeight += cells.run[x];
            pixels[x] = alphaOf(winding + cells.area[x] + runHeight / 2, nonZero);
            winding += cells.cover[x] + runHeight;
        }
        std::fill(cells.area.begin(), cells.area.end(), 0.0);
        std::fill(cells.cover.begin(), cells.cover.end(), 0.0);
        std::fill(cells.run.begin(), cells.run.end(), 0.0);
    }
    return mask;
}

} // namespace zentrel
