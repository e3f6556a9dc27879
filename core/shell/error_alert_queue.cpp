#include "shell/error_alert_queue.h"

#include "shell/shell_ports.h"

#include <string_view>

namespace zentrel {
namespace {

std::string_view trimmedWhitespace(std::string_view text)
{
    constexpr std::string_view whitespace = " \t\n\r\v\f";
    const auto first = text.find_first_not_of(whitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(whitespace) - first + 1);
}

} // namespace

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
    const std::string_view trimmed = trimmedWhitespace(shown);
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
