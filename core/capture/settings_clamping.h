#pragma once

#include "common/color.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

// Stored settings may hold anything: a value is held to its range, and a non-finite one
// takes the fallback.
inline double clampedOr(double value, double fallback, double low, double high)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

// Each channel held to 0…1; a non-finite one takes the fallback's.
inline Color clampedColor(const Color &color, const Color &fallback)
{
    return {clampedOr(color.red, fallback.red, 0, 1),
            clampedOr(color.green, fallback.green, 0, 1),
            clampedOr(color.blue, fallback.blue, 0, 1),
            clampedOr(color.alpha, fallback.alpha, 0, 1)};
}

} // namespace zentrel
