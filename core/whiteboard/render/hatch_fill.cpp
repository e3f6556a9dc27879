#include "whiteboard/render/hatch_fill.h"

#include "whiteboard/render/render_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace zentrel {

namespace {

constexpr double hatchGap = 8;
constexpr double hatchMargin = 12;
// A piece this small a share of its line is a line touching a corner of the outline, kept or not
// by rounding alone, which would differ once the shape moved.
constexpr double cornerTouch = 1e-9;

using Edge = std::pair<PointF, PointF>;

// The lattice lines of one direction that cross a box: c = origin + gap × k for k from `first`
// to `last`. A rising line is x + y = c, a falling one x − y = c; both sets start at the area's
// top left corner.
struct LineSet
{
    bool rising = true;
    double origin = 0;
    double gap = hatchGap;
    std::int64_t first = 0;
    std::int64_t last = -1;

    double constantOf(PointF p) const { return rising ? p.x + p.y : p.x - p.y; }
};

template <typename Visit>
void forEachEdge(const HatchFill &fill, Visit visit)
{
    for (const auto &polygon : fill.outline) {
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            visit(polygon[i], polygon[(i + 1) % polygon.size()]);
        }
    }
}

// The gap between the lines drawn across a stretch of `extent` lattice units: the lattice's own,
// doubled as often as it takes to keep within the budget.
double lineSpacing(double extent)
{
    double gap = hatchGap;
    while (extent / gap > hatchLineBudget) {
        gap *= 2;
    }
    return gap;
}

LineSet lineSet(const HatchFill &fill, const RectF &r, bool rising)
{
    const RectF &a = fill.area;
    LineSet set;
    set.rising = rising;
    set.origin = rising ? a.x + a.y : a.x - a.y - a.height;
    const double low = rising ? r.x + r.y : r.x - (r.y + r.height);
    const double high = rising ? r.x + r.width + r.y + r.height : r.x + r.width - r.y;
    set.gap = lineSpacing(high - low);
    set.first = static_cast<std::int64_t>(std::ceil((low - set.origin) / set.gap));
    set.last = static_cast<std::int64_t>(std::floor((high - set.origin) / set.gap));
    return set;
}

// The lines of `set` whose constants lie from `low` to `high`, widened by `widen` lines either
// side, as indices from its first line; from > to when there are none.
std::pair<std::int64_t, std::int64_t>
linesBetween(const LineSet &set, double low, double high, double widen)
{
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return {0, -1};
    }
    const auto first = static_cast<double>(set.first);
    const auto last = static_cast<double>(set.last);
    const double from =
        std::clamp(std::ceil((low - set.origin) / set.gap) - widen, first, last + 1);
    const double to =
        std::clamp(std::floor((high - set.origin) / set.gap) + widen, first - 1, last);
    return {static_cast<std::int64_t>(from - first), static_cast<std::int64_t>(to - first)};
}

// How many times the outline crosses the lines of `set`.
double crossingCount(const HatchFill &fill, const LineSet &set)
{
    double count = 0;
    forEachEdge(fill, [&](PointF p, PointF q) {
        const double cp = set.constantOf(p);
        const double cq = set.constantOf(q);
        const auto [from, to] = linesBetween(set, std::min(cp, cq), std::max(cp, cq), 0);
        count += static_cast<double>(std::max<std::int64_t>(to - from + 1, 0));
    });
    return count;
}

// For each line of the set, the edges that may cross it, in outline order: those that reach
// within a gap of it, which rounding cannot move across it.
std::vector<std::vector<Edge>> edgesByLine(const HatchFill &fill, const LineSet &set)
{
    std::vector<std::vector<Edge>> byLine(static_cast<std::size_t>(set.last - set.first + 1));
    forEachEdge(fill, [&](PointF p, PointF q) {
        const double cp = set.constantOf(p);
        const double cq = set.constantOf(q);
        const auto [from, to] = linesBetween(set, std::min(cp, cq), std::max(cp, cq), 1);
        for (std::int64_t k = from; k <= to; ++k) {
            byLine[static_cast<std::size_t>(k)].emplace_back(p, q);
        }
    });
    return byLine;
}

// Where the segment a→b crosses the inside of the outline's `edges`, as parameters along a→b.
std::vector<double> crossings(const std::vector<Edge> &edges, PointF a, PointF b)
{
    std::vector<double> result;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const auto side = [&](PointF p) {
        return (p.x - a.x) * dy - (p.y - a.y) * dx;
    };
    for (const auto &[p, q] : edges) {
        const double sp = side(p);
        const double sq = side(q);
        // Half-open test: a vertex on the line counts for exactly one of its two edges.
        if ((sp > 0) == (sq > 0)) {
            continue;
        }
        const PointF hit = lerp(p, q, sp / (sp - sq));
        const double length2 = dx * dx + dy * dy;
        result.push_back(((hit.x - a.x) * dx + (hit.y - a.y) * dy) / length2);
    }
    std::sort(result.begin(), result.end());
    return result;
}

// The lines of `set` that cross the box `r`, cut to it and, when `cut`, to the outline.
void appendLines(const HatchFill &fill, const LineSet &set, const RectF &r, bool cut, Path &lines)
{
    if (set.last < set.first) {
        return;
    }
    const std::vector<std::vector<Edge>> byLine =
        cut ? edgesByLine(fill, set) : std::vector<std::vector<Edge>>();
    const bool rising = set.rising;
    for (std::int64_t k = set.first; k <= set.last; ++k) {
        const double c = set.origin + set.gap * static_cast<double>(k);
        // Where the line runs inside the box, by x: y = c − x rising, y = x − c falling.
        const double from = rising ? std::max(r.x, c - (r.y + r.height)) : std::max(r.x, c + r.y);
        const double to =
            rising ? std::min(r.x + r.width, c - r.y) : std::min(r.x + r.width, c + r.y + r.height);
        if (!(from < to)) {
            continue;
        }
        const PointF start{from, rising ? c - from : from - c};
        const PointF end{to, rising ? c - to : to - c};
        if (!cut) {
            lines.moveTo(start);
            lines.lineTo(end);
            continue;
        }
        const std::vector<double> hits =
            crossings(byLine[static_cast<std::size_t>(k - set.first)], start, end);
        for (std::size_t i = 0; i + 1 < hits.size(); i += 2) {
            const double s0 = std::clamp(hits[i], 0.0, 1.0);
            const double s1 = std::clamp(hits[i + 1], 0.0, 1.0);
            if (s1 - s0 > cornerTouch) {
                lines.moveTo(lerp(start, end, s0));
                lines.lineTo(lerp(start, end, s1));
            }
        }
    }
}

// The part of the hatch's area inside `window`; none where they do not meet.
std::optional<RectF> hatchBox(const HatchFill &fill, const std::optional<RectF> &window)
{
    if (!isFinite(fill.area)) {
        return std::nullopt;
    }
    if (!window) {
        return fill.area;
    }
    const RectF &a = fill.area;
    const RectF n = normalizedRect(*window);
    const double left = std::max(a.x, n.x);
    const double top = std::max(a.y, n.y);
    const double right = std::min(a.x + a.width, n.x + n.width);
    const double bottom = std::min(a.y + a.height, n.y + n.height);
    if (!(left <= right && top <= bottom)) {
        return std::nullopt;
    }
    return RectF{left, top, right - left, bottom - top};
}

// Rising lines first, then the crossing set.
std::vector<LineSet> lineSets(const HatchFill &fill, const RectF &box)
{
    std::vector<LineSet> sets{lineSet(fill, box, true)};
    if (fill.crossed) {
        sets.push_back(lineSet(fill, box, false));
    }
    return sets;
}

bool exceedsCrossingBudget(const HatchFill &fill, const std::vector<LineSet> &sets)
{
    // An edge crosses a line once at most: an ordinary shape has too few of both to count.
    double edges = 0;
    double lines = 0;
    for (const auto &polygon : fill.outline) {
        edges += static_cast<double>(polygon.size());
    }
    for (const LineSet &set : sets) {
        lines += static_cast<double>(std::max<std::int64_t>(set.last - set.first + 1, 0));
    }
    if (edges * lines <= hatchCrossingBudget) {
        return false;
    }
    double count = 0;
    for (const LineSet &set : sets) {
        count += crossingCount(fill, set);
    }
    return count > hatchCrossingBudget;
}

} // namespace

HatchFill hatchFill(const Path &outline, RectF area, bool crossed)
{
    return {
        flattenPath(outline), insetRect(normalizedRect(area), -hatchMargin, -hatchMargin), crossed};
}

bool hatchNeedsClip(const HatchFill &fill, const std::optional<RectF> &window)
{
    const std::optional<RectF> box = hatchBox(fill, window);
    return box && exceedsCrossingBudget(fill, lineSets(fill, *box));
}

Path hatchLines(const HatchFill &fill, const std::optional<RectF> &window)
{
    Path lines;
    const std::optional<RectF> box = hatchBox(fill, window);
    if (!box) {
        return lines;
    }
    const std::vector<LineSet> sets = lineSets(fill, *box);
    const bool cut = !exceedsCrossingBudget(fill, sets);
    for (const LineSet &set : sets) {
        appendLines(fill, set, *box, cut, lines);
    }
    return lines;
}

bool isHatchThinned(const HatchFill &fill)
{
    return lineSpacing(fill.area.width + fill.area.height) > hatchGap;
}

} // namespace zentrel
