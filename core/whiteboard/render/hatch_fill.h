#pragma once

#include "common/geometry.h"
#include "common/path.h"

#include <optional>
#include <vector>

namespace zentrel {

// A hatch fill: 45° lines clipped to the inside of a closed outline (even-odd). The lines lie
// 8 points apart (along x) on a lattice that starts at the area's top left corner.
struct HatchFill
{
    std::vector<std::vector<PointF>> outline; // as flattenPath gives it
    RectF area;                               // what the lines span, normalised
    bool crossed = false; // lines from top-left to bottom-right too, not only rising ones

    friend bool operator==(const HatchFill &, const HatchFill &) = default;
};

// The most lines of one direction a hatch is drawn with in one go. A window that more would
// cross shows every second one, as often as needed: so a hatch costs the same at any size and
// any zoom, and its lines stay where they were (a subset of them) as the window changes.
inline constexpr double hatchLineBudget = 2048;

// The most times the lines of one drawing may cross the outline and still be cut at each
// crossing: about eight for each line of both directions. An outline of many turns (a comb of
// thousands of teeth) would otherwise cut its lines into millions of pieces.
inline constexpr double hatchCrossingBudget = 8 * 2 * hatchLineBudget;

// The fill of `outline` with lines across `area` grown by 12 points.
HatchFill hatchFill(const Path &outline, RectF area, bool crossed);

// Whether the outline crosses the lines that cross `window` (all of them when none is given)
// more often than hatchCrossingBudget: hatchLines then leaves them whole across the area, and
// the painter clips them to the outline (even-odd), which shows the same pixels.
bool hatchNeedsClip(const HatchFill &fill, const std::optional<RectF> &window = std::nullopt);

// The lines of the hatch that cross `window` (all of them when none is given), cut to it and,
// unless hatchNeedsClip, to the outline; each kept piece a moveTo/lineTo pair: rising lines
// (bottom-left to top-right) first, then the crossing set.
Path hatchLines(const HatchFill &fill, const std::optional<RectF> &window = std::nullopt);

// Whether the hatch drawn whole leaves out lines that a smaller window shows.
bool isHatchThinned(const HatchFill &fill);

} // namespace zentrel
