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

// Where the small window shown in place of a tray icon opens: in the bottom-right corner of the
// usable area, `margin` in from both edges, as a launcher sits above a panel, clear of the
// windows of ours that open in the middle. One too large for the area keeps its top-left corner
// inside it.
RectF cornerWindowFrame(const RectF &area, SizeF size, double margin);

} // namespace zentrel
