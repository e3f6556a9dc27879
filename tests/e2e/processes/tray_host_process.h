#pragma once

#include "e2e/processes/child_process.h"

#include <QDeadlineTimer>
#include <QString>

#include <cstdint>
#include <optional>

namespace zentrel {

// Runs fake_tray_host on a display and reports the icons it docks.
class TrayHostProcess
{
public:
    // Returns once the host owns the tray selection, or failed to (see isReady()).
    explicit TrayHostProcess(const QString &display);

    bool isReady() const { return m_ready; }

    // The next icon window docked, or nothing when none docks before the deadline.
    std::optional<std::uint32_t> waitForDock(QDeadlineTimer deadline);

    QString output() { return m_process.output(); }

private:
    ChildProcess m_process;
    bool m_ready = false;
};

} // namespace zentrel
