#pragma once

#include "platform/screen_layout_watch.h"

#include <QAbstractNativeEventFilter>
#include <QRect>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

// Adds what Qt keeps to itself: switched off, the last monitor stays a screen in Qt's list, with
// its old geometry, and nothing is said. Heard from the RandR notices Qt asks the server for,
// and told only when the monitors the server lists did change.
class XcbScreenLayoutWatch final : public ScreenLayoutWatch, private QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // None without an X connection or RandR.
    static std::unique_ptr<XcbScreenLayoutWatch> create();
    ~XcbScreenLayoutWatch() override;

private:
    using Monitors = std::vector<QRect>;

    XcbScreenLayoutWatch(xcb_connection_t *connection, std::uint32_t root, std::uint8_t eventBase);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool isLayoutNotice(const void *event) const;
    // None where the server lists no monitors (RandR before 1.5): every notice then counts.
    std::optional<Monitors> activeMonitors() const;
    void compareMonitors();

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    std::uint8_t m_eventBase;
    std::optional<Monitors> m_monitors;
    bool m_isCompareQueued = false;
};

} // namespace zentrel
