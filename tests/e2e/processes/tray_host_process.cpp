#include "e2e/processes/tray_host_process.h"

#include <QProcessEnvironment>
#include <QRegularExpression>

namespace zentrel {

namespace {

constexpr int readyTimeoutMs = 10000;

} // namespace

TrayHostProcess::TrayHostProcess(const QString &display)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), display);
    if (!m_process.start(QStringLiteral(FAKE_TRAY_HOST_EXECUTABLE), {}, environment)) {
        return;
    }
    static const QRegularExpression ready(QStringLiteral("^ready$"));
    m_ready = m_process.waitForLine(ready, QDeadlineTimer(readyTimeoutMs)).has_value();
}

std::optional<std::uint32_t> TrayHostProcess::waitForDock(QDeadlineTimer deadline)
{
    static const QRegularExpression docked(QStringLiteral("^docked (\\d+)$"));
    const auto match = m_process.waitForLine(docked, deadline);
    if (!match) {
        return std::nullopt;
    }
    return match->captured(1).toUInt();
}

} // namespace zentrel
