#pragma once

#include "platform/tray_host_watch.h"

namespace zentrel {

// A tray that comes and goes when the test says.
class FakeTrayHostWatch final : public TrayHostWatch
{
public:
    explicit FakeTrayHostWatch(bool hasTrayHost)
        : m_hasTrayHost(hasTrayHost)
    {}

    bool hasTrayHost() const override { return m_hasTrayHost; }

    void setHasTrayHost(bool hasTrayHost)
    {
        m_hasTrayHost = hasTrayHost;
        Q_EMIT trayHostChanged(hasTrayHost);
    }

private:
    bool m_hasTrayHost;
};

} // namespace zentrel
