#pragma once

#include "platform/tray_host_watch.h"
#include "platform/x11/xcb_connection.h"

#include <cstdint>
#include <memory>
#include <optional>

class QTimer;
struct xcb_connection_t;

namespace zentrel {

// A tray host on X11 is whoever owns the selection _NET_SYSTEM_TRAY_S<screen>. Asked once a
// second on a connection of its own, which costs one small round trip and leaves Qt's event
// selection alone.
class XcbTrayHostWatch final : public TrayHostWatch
{
    Q_OBJECT

public:
    // None when there is no X display.
    static std::unique_ptr<XcbTrayHostWatch> create();
    ~XcbTrayHostWatch() override;

    bool hasTrayHost() const override { return m_hasTrayHost; }

private:
    XcbTrayHostWatch(XcbConnection connection, std::uint32_t selection);
    // None once the connection is lost.
    std::optional<bool> isSelectionOwned() const;
    void poll();

    XcbConnection m_connection;
    std::uint32_t m_selection;
    QTimer *m_timer;
    bool m_hasTrayHost;
};

} // namespace zentrel
