#pragma once

#include <functional>

namespace zentrel {

// Runs `paint` on a thread of Qt's global thread pool and returns once it is done; the caller's
// data is left alone meanwhile, so `paint` may read it. Qt's raster engine splits every fill of
// more than a few dozen spans into pool tasks unless it already runs on a pool thread; from the
// main thread that hand-over cost far more than the painting itself (a half-point grid over a
// full-HD view: 40 ms instead of 4). When no pool thread is free the work runs here.
void paintOnPoolThread(const std::function<void()> &paint);

} // namespace zentrel
