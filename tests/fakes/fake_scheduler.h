#pragma once

#include "shell/shell_ports.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace zentrel {

// Runs posted work only when the test says so, on a clock of its own.
class FakeScheduler final : public Scheduler
{
public:
    void post(std::function<void()> task) override { postAfter({}, std::move(task)); }

    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override
    {
        m_tasks.push_back(Task{m_now + delay, m_nextOrder++, std::move(task)});
    }

    std::size_t pendingCount() const { return m_tasks.size(); }

    // Runs what is due now, in order, also tasks that those tasks post for now.
    void runPending()
    {
        while (true) {
            auto due =
                std::min_element(m_tasks.begin(), m_tasks.end(), [](const Task &a, const Task &b) {
                    return std::pair(a.due, a.order) < std::pair(b.due, b.order);
                });
            if (due == m_tasks.end() || due->due > m_now) {
                return;
            }
            auto task = std::move(due->work);
            m_tasks.erase(due);
            task();
        }
    }

    void advance(std::chrono::milliseconds time)
    {
        m_now += time;
        runPending();
    }

private:
    struct Task
    {
        std::chrono::milliseconds due;
        std::size_t order;
        std::function<void()> work;
    };

    std::vector<Task> m_tasks;
    std::chrono::milliseconds m_now{0};
    std::size_t m_nextOrder = 0;
};

} // namespace zentrel
