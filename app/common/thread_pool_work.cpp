#include "common/thread_pool_work.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace zentrel {

void runOnThreadPool(std::size_t count, const std::function<void(std::size_t)> &work)
{
    // Small enough to share the work out evenly, large enough that taking a chunk costs nothing.
    constexpr std::size_t chunkSize = 32;
    const std::size_t chunks = (count + chunkSize - 1) / chunkSize;
    std::atomic<std::size_t> nextChunk = 0;
    const auto takeChunks = [&] {
        for (std::size_t chunk = nextChunk++; chunk < chunks; chunk = nextChunk++) {
            const std::size_t end = std::min(count, (chunk + 1) * chunkSize);
            for (std::size_t i = chunk * chunkSize; i < end; ++i) {
                work(i);
            }
        }
    };
    QThreadPool *pool = QThreadPool::globalInstance();
    const std::size_t helpers = std::min(chunks, std::size_t(std::max(pool->maxThreadCount(), 1)));
    QSemaphore done;
    int started = 0;
    for (std::size_t helper = 1; helper < helpers; ++helper) {
        if (!pool->tryStart([&takeChunks, &done] {
                takeChunks();
                done.release();
            })) {
            break;
        }
        ++started;
    }
    takeChunks();
    done.acquire(started);
}

} // namespace zentrel
