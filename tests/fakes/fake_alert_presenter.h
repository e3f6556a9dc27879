#pragma once

#include "shell/shell_ports.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zentrel {

// Keeps the alert open until the test dismisses it, like a modal alert waiting for "OK".
class FakeAlertPresenter final : public AlertPresenter
{
public:
    void present(const std::string &text, std::function<void()> closed) override
    {
        if (m_closed) {
            throw std::logic_error("a second alert was presented while one is open");
        }
        presented.push_back(text);
        m_closed = std::move(closed);
    }

    bool isOpen() const { return static_cast<bool>(m_closed); }

    void dismiss()
    {
        if (!m_closed) {
            throw std::logic_error("no alert is open");
        }
        // Taken out first: the callback may present the next alert.
        std::exchange(m_closed, nullptr)();
    }

    std::vector<std::string> presented;

private:
    std::function<void()> m_closed;
};

} // namespace zentrel
