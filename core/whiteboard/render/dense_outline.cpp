#include "whiteboard/render/dense_outline.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>
#include <vector>

namespace zentrel {

namespace {

// Visits the heights of each edge and curve of the open `path`, a curve's being its control
// points'.
template <typename Visit>
void forEachEdgeOf(const Path &path, Visit visit)
{
    PointF start;
    PointF current;
    for (const Path::Element &element : path.elements()) {
        double top = current.y;
        double bottom = current.y;
        const auto reach = [&](PointF point) {
            top = std::min(top, point.y);
            bottom = std::max(bottom, point.y);
        };
        switch (element.op) {
        case Path::Op::moveTo:
            start = element.points[0];
            current = start;
            continue;
        case Path::Op::close:
            reach(start);
            break;
        case Path::Op::cubicTo:
            reach(element.points[2]);
            [[fallthrough]];
        case Path::Op::quadTo:
            reach(element.points[1]);
            [[fallthrough]];
        case Path::Op::lineTo:
            reach(element.points[0]);
            break;
        }
        visit(EdgeHeights{top, bottom});
        current = element.endPoint().value_or(start);
    }
}

// crossesARowMoreThan for edges whose heights and number are not known beforehand.
template <typename ForEachEdge>
bool crossesARowMoreThan(int limit, ForEachEdge forEachEdge)
{
    double top = std::numeric_limits<double>::infinity();
    double bottom = -top;
    std::size_t count = 0;
    forEachEdge([&](const EdgeHeights &edge) {
        if (crossesRows(edge)) {
            top = std::min(top, edge.top);
            bottom = std::max(bottom, edge.bottom);
            ++count;
        }
    });
    return crossesARowMoreThan(limit, top, bottom, count, forEachEdge);
}

} // namespace

bool isDenseStroke(const Path &line)
{
    // Too few pieces to cross one row that often, as almost every line is.
    if (line.elements().size() <= static_cast<std::size_t>(denseCrossingsPerRow / 2)) {
        return false;
    }
    const auto forEachEdge = [&line](const auto &visit) {
        forEachEdgeOf(line, visit);
    };
    return crossesARowMoreThan(denseCrossingsPerRow / 2, forEachEdge);
}

// Where each edge starts crossing rows (+1) and stops (−1), y by y: the most edges a row
// crosses is the deepest the running count goes, which one far point deepens by two at most.
bool crossesARowMoreThan(int limit, const std::vector<EdgeHeights> &edges)
{
    std::vector<std::pair<double, int>> changes;
    changes.reserve(2 * edges.size());
    for (const EdgeHeights &edge : edges) {
        if (crossesRows(edge)) {
            changes.emplace_back(edge.top, 1);
            changes.emplace_back(edge.bottom, -1);
        }
    }
    std::sort(changes.begin(), changes.end());
    int crossed = 0;
    for (const auto &[y, change] : changes) {
        crossed += change;
        if (crossed > limit) {
            return true;
        }
    }
    return false;
}

} // namespace zentrel
