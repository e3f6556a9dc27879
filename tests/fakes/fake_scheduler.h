#pragma once

#include "shell/shell_ports.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace zentrel {

class FakeScheduler final : public Scheduler
{
public:
    void post(std::function<void()> task) override { m_tasks.push_back(std::move(task)); }

    std::size_t pendingCount() const { return m_tasks.size(); }

    // Also runs tasks that the tasks themselves post.
    void runPending()
    {
        while (!m_tasks.empty()) {
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            task();
        }
    }

private:
    std::deque<std::function<void()>> m_tasks;
};

} // namespace zentrel
