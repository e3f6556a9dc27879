#include "whiteboard/editor/save_executor.h"

#include <utility>

namespace zentrel {

void InlineSaveExecutor::run(SaveJob job, Scheduler &scheduler, SaveCompletion done)
{
    // Posted rather than called, so a failure reaches the owner the same way as from a worker.
    scheduler.post([done = std::move(done), result = job()] { done(result); });
}

void InlineSaveExecutor::drain()
{
    // Every job has already finished by the time run returns.
}

} // namespace zentrel
