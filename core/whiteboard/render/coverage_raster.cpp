#include "whiteboard/render/coverage_raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace zentrel {

namespace {

constexpr int sampleRows = 4;
// More edges than this joining the crossed ones at once are sorted in with them anew.
constexpr std::size_t manyAdded = 32;
// Above this many crossings a row on average, a painter's fill slows past a rasterised one.
constexpr double denseCrossingsPerRow = 64;

// An edge from its top `y0` down to `y1`; `winding` +1 where the outline runs down it.
struct Edge
{
    double x0 = 0;
    double y0 = 0;
    double slope = 0; // dx per dy
    double y1 = 0;
    int winding = 1;
};

// An edge a sample row crosses, where it crosses it.
struct Crossing
{
    double x = 0;
    const Edge *edge = nullptr;
};

// The edges that matter to a `width` × `height` grid, sorted by their tops. Those wholly right
// of it never do; those wholly left of it only wind every sample row they span, which `left`
// counts per sample row (a running sum, one entry a sample row and one more), rather than
// sorting them in on every one: a view of a small part of a comb leaves out most of its teeth.
std::vector<Edge> edgesOf(const std::vector<std::vector<PointF>> &polygons,
                          double width,
                          double height,
                          std::vector<int> &left)
{
    std::vector<Edge> edges;
    const auto sampleOf = [&](double y) {
        const double sample = std::ceil(std::clamp(y, 0.0, height) * sampleRows - 0.5);
        return static_cast<std::size_t>(std::max(sample, 0.0));
    };
    for (const auto &polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            PointF a = polygon[i];
            PointF b = polygon[(i + 1) % polygon.size()];
            if (!(a.y != b.y) || !std::isfinite(a.x + a.y + b.x + b.y)) {
                continue;
            }
            const int winding = a.y < b.y ? 1 : -1;
            if (b.y < a.y) {
                std::swap(a, b);
            }
            if (b.y <= 0 || a.y >= height || std::min(a.x, b.x) >= width) {
                continue;
            }
            if (std::max(a.x, b.x) <= 0) {
                left[sampleOf(a.y)] += winding;
                left[sampleOf(b.y)] -= winding;
                continue;
            }
            edges.push_back({a.x, a.y, (b.x - a.x) / (b.y - a.y), b.y, winding});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge &l, const Edge &r) { return l.y0 < r.y0; });
    return edges;
}

// Adds `weight` over x from `from` to `to` of one row: whole pixels through `run` (a running
// sum), the partly covered pixels at either end through `part`.
void addSpan(
    double from, double to, double weight, std::vector<double> &run, std::vector<double> &part)
{
    const auto width = static_cast<double>(part.size());
    from = std::clamp(from, 0.0, width);
    to = std::clamp(to, 0.0, width);
    if (!(from < to)) {
        return;
    }
    const auto first = static_cast<std::size_t>(from);
    const auto last = static_cast<std::size_t>(to);
    if (first == last) {
        part[first] += (to - from) * weight;
        return;
    }
    part[first] += (static_cast<double>(first + 1) - from) * weight;
    run[first + 1] += weight;
    run[last] -= weight;
    if (last < part.size()) {
        part[last] += (to - static_cast<double>(last)) * weight;
    }
}

// Sorts `crossings` by x: by insertion, which costs little on a list nearly in order, unless
// `many` were added or the edges cross each other so much that it would cost more than anew.
void sortByX(std::vector<Crossing> &crossings, bool many)
{
    const auto before = [](const Crossing &l, const Crossing &r) {
        return l.x < r.x;
    };
    std::size_t movesLeft = many ? 0 : 8 * crossings.size();
    for (std::size_t i = 1; i < crossings.size() && movesLeft > 0; ++i) {
        const Crossing moving = crossings[i];
        std::size_t j = i;
        for (; j > 0 && movesLeft > 0 && before(moving, crossings[j - 1]); --j, --movesLeft) {
            crossings[j] = crossings[j - 1];
        }
        crossings[j] = moving;
    }
    if (movesLeft == 0) {
        std::sort(crossings.begin(), crossings.end(), before);
    }
}

} // namespace

CoverageMask rasterizedCoverage(const std::vector<std::vector<PointF>> &polygons,
                                bool nonZero,
                                int width,
                                int height)
{
    CoverageMask mask{std::max(width, 0), std::max(height, 0), {}};
    const auto columns = static_cast<std::size_t>(mask.width);
    mask.alpha.assign(columns * static_cast<std::size_t>(mask.height), 0);
    std::vector<int> left(static_cast<std::size_t>(mask.height) * sampleRows + 1);
    const std::vector<Edge> edges = edgesOf(polygons, mask.width, mask.height, left);
    int leftWinding = 0;
    // The edges the sample row crosses, kept sorted by where: from one sample row to the next
    // they mostly keep their order, which insertion sort then costs once each.
    std::vector<Crossing> crossings;
    std::vector<double> run(columns + 1);
    std::vector<double> part(columns);
    std::size_t next = 0;
    for (int row = 0; row < mask.height; ++row) {
        std::fill(run.begin(), run.end(), 0.0);
        std::fill(part.begin(), part.end(), 0.0);
        for (int sample = 0; sample < sampleRows; ++sample) {
            const double y = row + (sample + 0.5) / sampleRows;
            std::erase_if(crossings, [y](const Crossing &c) { return c.edge->y1 <= y; });
            const std::size_t kept = crossings.size();
            // An edge that began and ended since the last sample row crosses none.
            for (; next < edges.size() && edges[next].y0 <= y; ++next) {
                if (edges[next].y1 > y) {
                    crossings.push_back({0, &edges[next]});
                }
            }
            for (Crossing &c : crossings) {
                c.x = c.edge->x0 + (y - c.edge->y0) * c.edge->slope;
            }
            sortByX(crossings, crossings.size() - kept > manyAdded);
            leftWinding += left[static_cast<std::size_t>(row * sampleRows + sample)];
            // Left of the first crossing the edges left of the grid wind; right of the last, those
            // right of it.
            int winding = leftWinding;
            double from = 0;
            for (const Crossing &crossing : crossings) {
                if (nonZero ? winding != 0 : winding % 2 != 0) {
                    addSpan(from, crossing.x, 1.0 / sampleRows, run, part);
                }
                winding += crossing.edge->winding;
                from = crossing.x;
            }
            if (nonZero ? winding != 0 : winding % 2 != 0) {
                addSpan(from, mask.width, 1.0 / sampleRows, run, part);
            }
        }
        double whole = 0;
        std::uint8_t *pixels = mask.alpha.data() + static_cast<std::size_t>(row) * columns;
        for (std::size_t x = 0; x < columns; ++x) {
            whole += run[x];
            pixels[x] =
                static_cast<std::uint8_t>(std::lround(255 * std::clamp(whole + part[x], 0.0, 1.0)));
        }
    }
    return mask;
}

bool isDenseArea(const std::vector<std::vector<PointF>> &polygons)
{
    double crossed = 0;
    double top = 0;
    double bottom = 0;
    bool first = true;
    for (const auto &polygon : polygons) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const PointF a = polygon[i];
            crossed += std::abs(polygon[(i + 1) % polygon.size()].y - a.y);
            top = first ? a.y : std::min(top, a.y);
            bottom = first ? a.y : std::max(bottom, a.y);
            first = false;
        }
    }
    return crossed > denseCrossingsPerRow * (bottom - top);
}

} // namespace zentrel
