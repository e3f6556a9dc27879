#include "common/pool_parallel_work.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace zentrel {

void runInParallel(std::size_t count, int threads, const std::function<void(std::size_t)> &work)
{
    std::atomic<std::size_t> next{0};
    const auto drain = [&next, &work, count] {
        for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            work(i);
        }
    };
    QSemaphore done;
    int started = 0;
    const auto helpers = std::size_t(std::max(threads, 1) - 1);
    for (std::size_t helper = 0; helper < std::min(helpers, count); ++helper) {
        if (!QThreadPool::globalInstance()->tryStart([&drain, &done] {
                drain();
                done.release();
            })) {
            break;
        }
        ++started;
    }
    drain();
    done.acquire(started);
}

void runOnThreadPool(std::size_t count, const std::function<void(std::size_t)> &work)
{
    // Small enough to share the work out evenly, large enough that taking a chunk costs nothing.
    constexpr std::size_t chunkSize = 32;
    runInParallel((count + chunkSize - 1) / chunkSize, poolThreadCount(), [&](std::size_t chunk) {
        const std::size_t end = std::min(count, (chunk + 1) * chunkSize);
        for (std::size_t i = chunk * chunkSize; i < end; ++i) {
            work(i);
        }
    });
}

int poolThreadCount()
{
    return std::max(QThreadPool::globalInstance()->maxThreadCount(), 1);
}

} // namespace zentrel
