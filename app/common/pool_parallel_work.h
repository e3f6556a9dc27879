#pragma once

#include <cstddef>
#include <functional>

namespace zentrel {

// Runs `work(i)` for every i in [0, count) on this thread and on up to `threads` − 1 free threads
// of the global pool, each taking the next i as it finishes one, so uneven items still spread
// evenly. A pool with no thread free leaves all the work here, so this never waits on a busy
// pool.
void runInParallel(std::size_t count, int threads, const std::function<void(std::size_t)> &work);

// Runs `work(i)` for every i in [0, count) on this thread and on every free thread of the pool,
// in chunks of indices so that taking one costs nothing beside the work; returns once all have
// run.
void runOnThreadPool(std::size_t count, const std::function<void(std::size_t)> &work);

// How many threads the pool can give at most.
int poolThreadCount();

} // namespace zentrel
