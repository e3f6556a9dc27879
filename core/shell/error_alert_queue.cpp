#include "shell/error_alert_queue.h"

#include "common/text.h"
#include "shell/shell_ports.h"

#include <string_view>

namespace zentrel {

ErrorAlertQueue::ErrorAlertQueue(AlertPresenter &presenter)
    : m_presenter(presenter)
{}

void ErrorAlertQueue::report(const std::string &text)
{
    m_text = text;
    presentNext();
}

void ErrorAlertQueue::presentNext()
{
    if (m_isPresenting || !m_text) {
        return;
    }
    const std::string shown = *m_text;
    const std::string_view trimmed = trimmedBlanks(shown);
    if (trimmed.empty()) {
        return;
    }
    m_isPresenting = true;
    m_presenter.present(std::string(trimmed), [this, shown] {
        m_isPresenting = false;
        if (m_text == shown) {
            m_text.reset();
        }
        presentNext();
    });
}

} // namespace zentrel
