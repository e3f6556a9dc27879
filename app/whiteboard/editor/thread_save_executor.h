#pragma once

#include "whiteboard/editor/save_executor.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class QObject;

namespace zentrel {

// Runs the whiteboard's saves on one worker thread, one at a time and in order. Owned on the
// main thread by the whiteboard's host; it must outlive the models that use it.
class ThreadSaveExecutor final : public SaveExecutor
{
public:
    // `mainThreadContext` lives on the main thread and outlives the executor: completions cross
    // to it by queued invocation before they are posted.
    explicit ThreadSaveExecutor(QObject *mainThreadContext);
    // Finishes the queued jobs, so an edit handed over is still written, then stops the worker.
    ~ThreadSaveExecutor() override;
    ThreadSaveExecutor(const ThreadSaveExecutor &) = delete;
    ThreadSaveExecutor &operator=(const ThreadSaveExecutor &) = delete;

    void run(SaveJob job, Scheduler &scheduler, SaveCompletion done) override;
    void drain() override;

private:
    struct Entry
    {
        SaveJob job;
        Scheduler *scheduler = nullptr;
        SaveCompletion done;
    };

    void work();
    void deliver(Scheduler *scheduler, SaveCompletion done, WhiteboardStoreResult<void> result);

    QObject *m_mainThreadContext;
    std::mutex m_mutex;
    std::condition_variable m_workArrived; // the worker waits on it for jobs or the stop
    std::condition_variable m_idle;        // drain waits on it for the queue to empty
    std::deque<Entry> m_queue;
    bool m_isBusy = false;
    bool m_isStopping = false;
    std::thread m_worker; // last, so it starts after the members it uses
};

} // namespace zentrel
