#include "shell/error_alert_queue.h"

#include "common/text.h"
#include "shell/shell_ports.h"

#include <memory>
#include <utility>

namespace zentrel {
namespace {

bool isBlank(const std::string &text)
{
    return trimmedBlanks(text).empty();
}

} // namespace

ErrorAlertQueue::ErrorAlertQueue(AlertPresenter &presenter)
    : m_presenter(presenter)
{}

void ErrorAlertQueue::report(const std::string &text, std::function<void()> shown)
{
    m_waiting = Alert{text, std::move(shown)};
    presentNext(true);
}

std::optional<std::string> ErrorAlertQueue::pendingText() const
{
    return m_waiting ? std::optional(m_waiting->text) : std::nullopt;
}

std::optional<std::string> ErrorAlertQueue::notShownText() const
{
    return m_notShown ? std::optional(m_notShown->text) : std::nullopt;
}

// The waiting text first; the one not shown once a newer text has been reported, so an alert
// that cannot reach the screen is not tried again and again on its own.
void ErrorAlertQueue::presentNext(bool retriesNotShown)
{
    if (m_isPresenting) {
        return;
    }
    Alert alert;
    if (m_waiting && !isBlank(m_waiting->text)) {
        alert = *std::exchange(m_waiting, std::nullopt);
    } else if (m_notShown && retriesNotShown) {
        alert = *std::exchange(m_notShown, std::nullopt);
    } else {
        return;
    }
    m_isPresenting = true;
    const std::string text(trimmedBlanks(alert.text));
    // Whoever is told of the text hears it once, when the alert was first seen.
    auto shown = std::make_shared<std::function<void()>>(std::exchange(alert.shown, nullptr));
    const auto tellShown = [shown] {
        if (auto tell = std::exchange(*shown, nullptr)) {
            tell();
        }
    };
    m_presenter.present(
        text, tellShown, [this, alert = std::move(alert), shown](AlertOutcome outcome) mutable {
            m_isPresenting = false;
            // The same text again while it was up is settled with it.
            std::optional<Alert> repeat;
            if (m_waiting && m_waiting->text == alert.text) {
                repeat = std::exchange(m_waiting, std::nullopt);
            }
            if (outcome == AlertOutcome::notShown) {
                alert.shown = std::exchange(*shown, nullptr);
                m_notShown = std::move(alert);
                presentNext(false);
                return;
            }
            if (m_notShown && m_notShown->text == alert.text) {
                m_notShown.reset();
            }
            for (const auto &tell :
                 {std::exchange(*shown, nullptr), repeat ? repeat->shown : nullptr}) {
                if (tell) {
                    tell();
                }
            }
            presentNext(true);
        });
}

} // namespace zentrel
