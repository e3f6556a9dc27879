#include "whiteboard/editor/thread_save_executor.h"

#include <QMetaObject>
#include <QObject>

#include <utility>

namespace zentrel {

ThreadSaveExecutor::ThreadSaveExecutor(QObject *mainThreadContext)
    : m_mainThreadContext(mainThreadContext)
    , m_worker([this] { work(); })
{}

ThreadSaveExecutor::~ThreadSaveExecutor()
{
    {
        const std::lock_guard lock(m_mutex);
        m_isStopping = true;
    }
    m_workArrived.notify_one();
    m_worker.join();
}

void ThreadSaveExecutor::run(SaveJob job, Scheduler &scheduler, SaveCompletion done)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(Entry{std::move(job), &scheduler, std::move(done)});
    }
    m_workArrived.notify_one();
}

void ThreadSaveExecutor::drain()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_isBusy; });
}

void ThreadSaveExecutor::work()
{
    while (true) {
        Entry entry;
        {
            std::unique_lock lock(m_mutex);
            m_workArrived.wait(lock, [this] { return m_isStopping || !m_queue.empty(); });
            if (m_queue.empty()) {
                return;
            }
            entry = std::move(m_queue.front());
            m_queue.pop_front();
            m_isBusy = true;
        }
        deliver(entry.scheduler, std::move(entry.done), entry.job());
        {
            const std::lock_guard lock(m_mutex);
            m_isBusy = false;
        }
        m_idle.notify_all();
    }
}

void ThreadSaveExecutor::deliver(Scheduler *scheduler,
                                 SaveCompletion done,
                                 WhiteboardStoreResult<void> result)
{
    // Scheduler::post is then only ever called on the main thread, so any scheduler will do.
    QMetaObject::invokeMethod(
        m_mainThreadContext,
        [scheduler, done = std::move(done), result = std::move(result)] {
            scheduler->post([done, result] { done(result); });
        },
        Qt::QueuedConnection);
}

} // namespace zentrel
