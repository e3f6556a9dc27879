#pragma once

#include "common/pixel_rect.h"

#include <optional>
#include <span>

namespace zentrel {

// The monitor, of those the display lists in its own pixels, that a screen laid out by Qt at
// `geometry` with `pixelRatio` pixels a point shows. Qt keeps a monitor's origin in pixels and
// gives its size in whole points, rounded where the ratio does not divide the pixels (2560 at
// 150 % is 1706⅔ points, given as 1707): that size times the ratio is no monitor's (2561), so a
// monitor's pixels are always taken from the monitor. None when no listed monitor is that screen.
std::optional<PixelRect>
monitorOfScreen(const PixelRect &geometry, double pixelRatio, std::span<const PixelRect> monitors);

} // namespace zentrel
