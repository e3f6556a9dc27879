#pragma once

#include "shell/shell_ports.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <functional>

namespace zentrel {

// One save: runs away from the main thread, so it must own everything it touches (a store copy
// and an immutable library snapshot), never the model.
using SaveJob = std::function<WhiteboardStoreResult<void>()>;
// Hears a job's result on the main thread.
using SaveCompletion = std::function<void(const WhiteboardStoreResult<void> &result)>;

// Where the whiteboard writes its library: a large library takes most of a second to write,
// which would freeze the main thread. Jobs run one at a time in the order given, so the file
// always ends with the newest library.
class SaveExecutor
{
public:
    virtual ~SaveExecutor() = default;

    // Runs `job` after every job given before it, then hands its result to `done` through
    // `scheduler.post`, called on the main thread. `scheduler` must outlive the executor.
    virtual void run(SaveJob job, Scheduler &scheduler, SaveCompletion done) = 0;

    // Returns once every job given so far has finished, so the caller can write last. Their
    // completions may still be waiting in the scheduler. Main thread only.
    virtual void drain() = 0;
};

// Runs each job at once on the calling thread: the default, and deterministic in tests.
class InlineSaveExecutor final : public SaveExecutor
{
public:
    void run(SaveJob job, Scheduler &scheduler, SaveCompletion done) override;
    void drain() override;
};

} // namespace zentrel
