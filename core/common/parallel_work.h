#pragma once

#include <cstddef>
#include <functional>

namespace zentrel {

// Runs `work(i)` for every i in [0, count) and returns once all have run. It may run them side by
// side on other threads, so `work` must be safe to run at once for different indices. Core code
// starts no threads itself; the app hands in one that uses its thread pool.
using ParallelWork =
    std::function<void(std::size_t count, const std::function<void(std::size_t)> &work)>;

// One after another on the calling thread, in order.
void runInOrder(std::size_t count, const std::function<void(std::size_t)> &work);

} // namespace zentrel
