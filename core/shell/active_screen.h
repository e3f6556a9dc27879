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

// Where an ordinary window of ours (the welcome window, "Sessions") opens: centred on the usable
// area of the active screen, so no window manager's own placement puts it in a corner over the
// presenter's windows. One larger than the area starts at its top-left corner.
RectF centeredWindowFrame(const RectF &area, SizeF size);

} // namespace zentrel
