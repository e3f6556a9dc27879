#pragma once

#include <optional>
#include <string>

namespace zentrel {

class AlertPresenter;

// The one road by which errors reach the user: one alert at a time, the text trimmed; a text
// that arrives while an alert is open waits and replaces any earlier waiting one; the same text
// arriving again while it is shown is not shown twice; a blank text shows nothing.
class ErrorAlertQueue
{
public:
    explicit ErrorAlertQueue(AlertPresenter &presenter);

    void report(const std::string &text);

    bool isPresenting() const { return m_isPresenting; }

    const std::optional<std::string> &pendingText() const { return m_text; }

private:
    void presentNext();

    AlertPresenter &m_presenter;
    std::optional<std::string> m_text;
    bool m_isPresenting = false;
};

} // namespace zentrel
