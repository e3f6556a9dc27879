#pragma once

#include "common/geometry.h"

#include <cstddef>
#include <optional>
#include <span>

namespace zentrel {

// The screen a feature opens on: the first screen whose frame holds the pointer, else the main
// screen (which may be absent too). Returns an index into `screenFrames`.
std::optional<std::size_t> activeScreenIndex(std::span<const RectF> screenFrames,
                                             PointF pointer,
                                             std::optional<std::size_t> mainScreen);

} // namespace zentrel
