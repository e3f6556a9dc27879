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
    void present(const std::string &text,
                 std::function<void()> onScreen,
                 std::function<void(AlertOutcome)> closed) override
    {
        if (m_closed) {
            throw std::logic_error("a second alert was presented while one is open");
        }
        presented.push_back(text);
        m_onScreen = std::move(onScreen);
        m_closed = std::move(closed);
    }

    // As when the window manager puts the alert on screen, before anyone answers it.
    void showOnScreen() { m_onScreen(); }

    bool isOpen() const { return static_cast<bool>(m_closed); }

    void dismiss() { end(AlertOutcome::closed); }

    // As when no window for the alert would stay on screen.
    void giveUp() { end(AlertOutcome::notShown); }

    std::vector<std::string> presented;

private:
    void end(AlertOutcome outcome)
    {
        if (!m_closed) {
            throw std::logic_error("no alert is open");
        }
        // Taken out first: the callback may present the next alert.
        std::exchange(m_closed, nullptr)(outcome);
    }

    std::function<void()> m_onScreen;
    std::function<void(AlertOutcome)> m_closed;
};

} // namespace zentrel
