#include "common/monitor_pixels.h"

#include <cmath>

namespace zentrel {
namespace {

// Qt rounds a side in pixels divided by the ratio to whole points: less than one away.
bool showsSide(int points, int pixels, double pixelRatio)
{
    return std::abs(pixels / pixelRatio - points) < 1;
}

} // namespace

std::optional<PixelRect>
monitorOfScreen(const PixelRect &geometry, double pixelRatio, std::span<const PixelRect> monitors)
{
    // Written so that a NaN ratio is refused too.
    if (!(pixelRatio > 0) || geometry.isEmpty()) {
        return std::nullopt;
    }
    for (const PixelRect &monitor : monitors) {
        if (monitor.x == geometry.x && monitor.y == geometry.y
            && showsSide(geometry.width, monitor.width, pixelRatio)
            && showsSide(geometry.height, monitor.height, pixelRatio)) {
            return monitor;
        }
    }
    return std::nullopt;
}

} // namespace zentrel
