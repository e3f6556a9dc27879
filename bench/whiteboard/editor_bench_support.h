#pragma once

#include "common/clock.h"
#include "common/uuid.h"
#include "shell/shell_ports.h"

#include <cstdint>
#include <memory>

namespace zentrel {

// What an editor model needs of its host in a benchmark: a clock that stands still, a scheduler
// that drops posted work (the benchmark measures the model, not the disk) and repeatable ids.
class StillClock final : public Clock
{
public:
    Timestamp now() const override { return Timestamp{}; }
};

class DroppingScheduler final : public Scheduler
{
public:
    void post(std::function<void()>) override {}

    void postAfter(std::chrono::milliseconds, std::function<void()>) override {}
};

inline UuidRandomSource sequence()
{
    auto next = std::make_shared<std::uint64_t>(0);
    return [next] {
        return ++*next * 0x9E3779B97F4A7C15ull;
    };
}

} // namespace zentrel
