#include "shell/active_screen.h"

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

} // namespace zentrel
