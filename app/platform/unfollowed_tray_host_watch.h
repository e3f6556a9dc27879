#pragma once

#include "platform/tray_host_watch.h"

#include <QSystemTrayIcon>

namespace zentrel {

// Where the desktop cannot be watched: the tray Qt finds at start, for the whole run.
class UnfollowedTrayHostWatch final : public TrayHostWatch
{
    Q_OBJECT

public:
    bool hasTrayHost() const override { return m_hasTrayHost; }

private:
    bool m_hasTrayHost = QSystemTrayIcon::isSystemTrayAvailable();
};

} // namespace zentrel
