#pragma once

#include "shell/shell_ports.h"

#include <chrono>
#include <functional>

namespace zentrel {

// Drops posted work rather than keeping it, as the fake scheduler of the tests does: the
// benchmark measures the editor model, not the disk, and runs too long to hold every task.
class DroppingScheduler final : public Scheduler
{
public:
    void post(std::function<void()>) override {}

    void postAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

} // namespace zentrel
