#include "shell/active_screen.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

std::optional<std::size_t> activeScreenIndex(std::span<const RectF> screenFrames,
                                             PointF pointer,
                                             std::optional<std::size_t> mainScreen)
{
    for (std::size_t index = 0; index < screenFrames.size(); ++index) {
        if (screenFrames[index].contains(pointer)) {
            return index;
        }
    }
    if (mainScreen && *mainScreen < screenFrames.size()) {
        return mainScreen;
    }
    return std::nullopt;
}

RectF centeredWindowFrame(const RectF &area, SizeF size)
{
    // Whole pixels: a window cannot stand half a pixel over.
    const auto start = [](double origin, double room, double extent) {
        return origin + std::floor(std::max(0.0, room - extent) / 2);
    };
    return {start(area.x, area.width, size.width),
            start(area.y, area.height, size.height),
            size.width,
            size.height};
}

RectF cornerWindowFrame(const RectF &area, SizeF size, double margin)
{
    const auto start = [margin](double origin, double room, double extent) {
        return origin + std::max(0.0, std::floor(room - extent - margin));
    };
    return {start(area.x, area.width, size.width),
            start(area.y, area.height, size.height),
            size.width,
            size.height};
}

} // namespace zentrel
