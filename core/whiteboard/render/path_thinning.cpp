#include "whiteboard/render/path_thinning.h"

#include <cmath>

namespace zentrel {
namespace {

// A quarter of a pixel: closer points change no pixel of the path, at twice the scale too.
constexpr double thinningTolerancePixels = 0.25;

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
thinnedPoints(const std::vector<WhiteboardPoint> &points, double tolerance, std::size_t budget)
{
    if (points.size() < 3) {
        return points;
    }
    std::vector<WhiteboardPoint> apart{points.front()};
    const double tolerance2 = tolerance * tolerance;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        const double dx = points[i].x - apart.back().x;
        const double dy = points[i].y - apart.back().y;
        if (dx * dx + dy * dy >= tolerance2) {
            apart.push_back(points[i]);
        }
    }
    apart.push_back(points.back());
    if (apart.size() > budget && budget >= 2) {
        std::vector<WhiteboardPoint> spread;
        spread.reserve(budget);
        const double step = double(apart.size() - 1) / double(budget - 1);
        for (std::size_t i = 0; i + 1 < budget; ++i) {
            spread.push_back(apart[static_cast<std::size_t>(double(i) * step)]);
        }
        spread.push_back(apart.back());
        apart = std::move(spread);
    }
    if (apart.size() < 3) {
        apart.insert(apart.begin() + 1, points[points.size() / 2]);
    }
    return apart;
}

WhiteboardElement thinnedForPainting(const WhiteboardElement &element, double paintScale)
{
    WhiteboardElement thinned = element;
    if (isThinnedForPainting(element) && paintScale > 0) {
        thinned.points =
            thinnedPoints(element.points, thinningTolerancePixels / paintScale, thinnedPathBudget);
    }
    return thinned;
}

} // namespace zentrel
