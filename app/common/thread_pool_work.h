#pragma once

#include <cstddef>
#include <functional>

namespace zentrel {

// Runs `work(i)` for every i in [0, count) on this thread and on the free threads of Qt's global
// pool, which take chunks of indices until none are left; returns once all have run. A busy pool
// leaves the work to this thread rather than keeping it waiting.
void runOnThreadPool(std::size_t count, const std::function<void(std::size_t)> &work);

} // namespace zentrel
