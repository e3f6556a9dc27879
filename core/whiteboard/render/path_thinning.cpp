#include "whiteboard/render/path_thinning.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zentrel {
namespace {

// Half a pixel at the scale the path is prepared for, less on screen: what a run of points within
// a column or a row of cells this wide leaves out lies within a cell's diagonal (0.71 pixels) of
// what it keeps.
constexpr double thinningCellPixels = 0.5;

// One run of points within a column or a row of cells (within one cell where both hold): the
// indices of its first and last points and of its extremes.
struct CellRun
{
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t left = 0;
    std::size_t right = 0;
    std::size_t top = 0;
    std::size_t bottom = 0;
    bool inColumn = true;
    bool inRow = true;

    // Puts the indices of the points that show in `marks`, in their order, and says how many:
    // the ends, and the extremes along the column or the row.
    std::size_t shown(std::array<std::size_t, 6> &marks) const
    {
        // Most runs of a path with detail finer than its cells are one or two points.
        if (last - first < 2) {
            marks[0] = first;
            marks[1] = last;
            return last - first + 1;
        }
        marks = {first,
                 last,
                 inColumn ? top : first,
                 inColumn ? bottom : first,
                 inRow ? left : first,
                 inRow ? right : first};
        std::sort(marks.begin(), marks.end());
        return std::size_t(std::unique(marks.begin(), marks.end()) - marks.begin());
    }
};

// The run of points from `start` on that stays within the column or the row of cells 1 / `perCell`
// wide that its first point lies in.
CellRun cellRun(const std::vector<WhiteboardPoint> &points, std::size_t start, double perCell)
{
    const double column = std::floor(points[start].x * perCell);
    const double row = std::floor(points[start].y * perCell);
    CellRun run{start, start, start, start, start, start};
    for (std::size_t i = start + 1; i < points.size(); ++i) {
        const bool inColumn = run.inColumn && std::floor(points[i].x * perCell) == column;
        const bool inRow = run.inRow && std::floor(points[i].y * perCell) == row;
        if (!inColumn && !inRow) {
            break;
        }
        run.inColumn = inColumn;
        run.inRow = inRow;
        run.last = i;
        run.left = points[i].x < points[run.left].x ? i : run.left;
        run.right = points[i].x > points[run.right].x ? i : run.right;
        run.top = points[i].y < points[run.top].y ? i : run.top;
        run.bottom = points[i].y > points[run.bottom].y ? i : run.bottom;
    }
    return run;
}

// The points of every run that show (see thinnedPoints); between runs the segments stay whole.
std::vector<WhiteboardPoint> cellRunPoints(const std::vector<WhiteboardPoint> &points, double cell)
{
    std::vector<WhiteboardPoint> kept;
    std::array<std::size_t, 6> marks{};
    for (std::size_t start = 0; start < points.size();) {
        const CellRun run = cellRun(points, start, 1 / cell);
        const std::size_t count = run.shown(marks);
        for (std::size_t i = 0; i < count; ++i) {
            kept.push_back(points[marks[i]]);
        }
        start = run.last + 1;
    }
    return kept;
}

} // namespace

bool isThinnedForPainting(const WhiteboardElement &element)
{
    const bool path =
        isSegmentKind(element.kind) || element.kind == WhiteboardElementKind::freedraw;
    return path && element.points.size() > thinnedPathThreshold;
}

double elementPaintScale(const WhiteboardElement &element, double viewportScale)
{
    if (element.kind == WhiteboardElementKind::unsupported) {
        return viewportScale;
    }
    if (!isThinnedForPainting(element) || !(viewportScale > 0) || !std::isfinite(viewportScale)) {
        return 0;
    }
    return std::exp2(std::ceil(std::log2(viewportScale)));
}

std::vector<WhiteboardPoint>
thinnedPoints(const std::vector<WhiteboardPoint> &points, double cell, std::size_t budget)
{
    if (points.size() < 3 || !(cell > 0)) {
        return points;
    }
    std::vector<WhiteboardPoint> kept = cellRunPoints(points, cell);
    // Coarser cells still keep the ends and the extremes of every run, so the shape stays whole
    // to within a cell. Each is taken from the whole line: thinning the thinned again would add
    // up the cells' errors.
    while (kept.size() > budget && std::isfinite(cell)) {
        cell *= 2;
        kept = cellRunPoints(points, cell);
    }
    if (kept.size() < 3) {
        kept.insert(kept.begin() + 1, points[points.size() / 2]);
    }
    return kept;
}

WhiteboardElement thinnedForPainting(const WhiteboardElement &element, double paintScale)
{
    WhiteboardElement thinned = element;
    if (isThinnedForPainting(element) && paintScale > 0) {
        thinned.points =
            thinnedPoints(element.points, thinningCellPixels / paintScale, thinnedPathBudget);
    }
    return thinned;
}

} // namespace zentrel
