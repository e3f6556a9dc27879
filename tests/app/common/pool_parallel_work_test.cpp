#include "common/pool_parallel_work.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace zentrel;

TEST(ThreadPoolWork, RunsEveryIndexOnce)
{
    for (const std::size_t count :
         {std::size_t(0), std::size_t(1), std::size_t(33), std::size_t(5000)}) {
        std::vector<std::atomic<int>> runs(count);
        runOnThreadPool(count, [&](std::size_t i) { ++runs[i]; });
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(runs[i], 1) << i << " of " << count;
        }
    }
}

TEST(ThreadPoolWork, ABusyPoolLeavesAllTheWorkToThisThread)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    QSemaphore release;
    QSemaphore started;
    const int poolThreads = pool->maxThreadCount();
    for (int i = 0; i < poolThreads; ++i) {
        pool->start([&] {
            started.release();
            release.acquire();
        });
    }
    started.acquire(poolThreads);
    const QThread *self = QThread::currentThread();
    std::atomic<int> elsewhere = 0;
    std::atomic<int> runs = 0;
    runOnThreadPool(1000, [&](std::size_t) {
        ++runs;
        if (QThread::currentThread() != self) {
            ++elsewhere;
        }
    });
    release.release(poolThreads);
    pool->waitForDone();
    EXPECT_EQ(runs, 1000);
    EXPECT_EQ(elsewhere, 0);
}
