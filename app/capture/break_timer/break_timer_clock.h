#pragma once

#include "common/clock.h"

#include <memory>

namespace zentrel {

// The countdown's clock: the system clock, or, with ZENTREL_TEST_CLOCK_SPEED set to a number
// above 1, one that runs that many times as fast from its making, so that end-to-end tests see
// a minute's break end within seconds.
std::unique_ptr<Clock> makeBreakTimerClock();

} // namespace zentrel
