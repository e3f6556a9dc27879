#include "whiteboard/model/whiteboard_geometry_limits.h"

#include <cmath>
#include <utility>

namespace zentrel {
namespace {

bool inRange(double value)
{
    // False for NaN as well.
    return std::abs(value) <= whiteboardGeometryLimit;
}

bool inRange(const std::optional<double> &value)
{
    return !value || inRange(*value);
}

} // namespace

std::optional<std::string> geometryOutOfRange(const WhiteboardElement &element)
{
    const std::pair<const char *, bool> fields[] = {
        {"x", inRange(element.x)},
        {"y", inRange(element.y)},
        {"width", inRange(element.width)},
        {"height", inRange(element.height)},
        {"rotation", inRange(element.rotation)},
        {"strokeWidth", inRange(element.style.strokeWidth)},
        {"fontSize", inRange(element.fontSize)},
        {"lineHeight", inRange(element.lineHeight)},
    };
    for (const auto &[name, fits] : fields) {
        if (!fits) {
            return name;
        }
    }
    for (std::size_t i = 0; i < element.points.size(); ++i) {
        if (!inRange(element.points[i].x) || !inRange(element.points[i].y)) {
            return "points[" + std::to_string(i) + "]";
        }
    }
    return std::nullopt;
}

} // namespace zentrel
