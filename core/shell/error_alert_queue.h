#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zentrel {

class AlertPresenter;

// The one road by which errors reach the user: one alert at a time, the text trimmed; a text
// that arrives while an alert is open waits and replaces any earlier waiting one; the same text
// arriving again while it is shown is not shown twice; a blank text shows nothing. A text whose
// alert could not be shown is kept and shown again after the next text reported, never before
// it, so it cannot hold later texts back.
class ErrorAlertQueue
{
public:
    explicit ErrorAlertQueue(AlertPresenter &presenter);

    // `shown` is called once, when the text's alert is first on screen or closed; never for a
    // text replaced before it could be shown, nor while its alert reaches no screen.
    void report(const std::string &text, std::function<void()> shown = {});

    bool isPresenting() const { return m_isPresenting; }

    std::optional<std::string> pendingText() const;

    // The text last given up on as never shown, waiting for the next report.
    std::optional<std::string> notShownText() const;

private:
    struct Alert
    {
        std::string text;
        std::function<void()> shown;
    };

    void presentNext(bool retriesNotShown);

    AlertPresenter &m_presenter;
    std::optional<Alert> m_waiting;
    std::optional<Alert> m_notShown;
    bool m_isPresenting = false;
};

} // namespace zentrel
