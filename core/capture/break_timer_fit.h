#pragma once

#include "common/geometry.h"
#include "shell/break_timer_presentation_style.h"

namespace zentrel {

namespace breakTimer {
// Below half size the design's smallest texts (10-point captions) would drop under 5 points,
// unreadable from a room's seats; a screen too small even then keeps them readable and shows
// less of the page.
inline constexpr double minimumScale = 0.5;
// The floating card keeps this much of its screen clear on every side, as much as its own
// padding, so it never touches the screen's edges.
inline constexpr double floatingScreenMargin = 24;
} // namespace breakTimer

// The room the countdown's design takes at full size, in points: the floating card, or the
// full-screen page's column with its padding, the duration chooser (the taller lower area) and a
// message of two lines.
SizeF breakTimerDesignSize(BreakTimerPresentationStyle style);

// What a design is multiplied by to fit within `available`: 1 where it fits already (a design is
// never enlarged), never below the minimum scale.
double fittingScale(SizeF design, SizeF available);

// The scale of the countdown on a screen of that size, in the given presentation.
double breakTimerScale(BreakTimerPresentationStyle style, SizeF screen);

} // namespace zentrel
