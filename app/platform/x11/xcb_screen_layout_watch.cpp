#include "platform/x11/xcb_screen_layout_watch.h"

#include "platform/x11/input/xcb_keyboard_setup.h"
#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>
#include <QTimer>

#include <xcb/randr.h>
#include <xcb/xcb.h>

namespace zentrel {

std::unique_ptr<XcbScreenLayoutWatch> XcbScreenLayoutWatch::create()
{
    xcb_connection_t *connection = qtX11Connection();
    if (!connection) {
        return nullptr;
    }
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(connection, &xcb_randr_id);
    const std::uint32_t root = defaultRootWindow(connection);
    if (!randr || !randr->present || root == XCB_NONE) {
        return nullptr;
    }
    return std::unique_ptr<XcbScreenLayoutWatch>(
        new XcbScreenLayoutWatch(connection, root, randr->first_event));
}

XcbScreenLayoutWatch::XcbScreenLayoutWatch(xcb_connection_t *connection,
                                           std::uint32_t root,
                                           std::uint8_t eventBase)
    : m_connection(connection)
    , m_root(root)
    , m_eventBase(eventBase)
    , m_monitors(activeMonitors())
{
    // Qt has the server send the notices to its connection already.
    qGuiApp->installNativeEventFilter(this);
}

XcbScreenLayoutWatch::~XcbScreenLayoutWatch()
{
    if (qGuiApp) {
        qGuiApp->removeNativeEventFilter(this);
    }
}

bool XcbScreenLayoutWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType == "xcb_generic_event_t" && !m_isCompareQueued && isLayoutNotice(message)) {
        // Once the burst of notices that one change sends has passed, and Qt has heard it too.
        m_isCompareQueued = true;
        QTimer::singleShot(0, this, &XcbScreenLayoutWatch::compareMonitors);
    }
    return false;
}

// A monitor's size, place or output changed; a property of an output (its backlight, say) is
// no change of the layout.
bool XcbScreenLayoutWatch::isLayoutNotice(const void *message) const
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == m_eventBase + XCB_RANDR_SCREEN_CHANGE_NOTIFY) {
        return true;
    }
    if (type != m_eventBase + XCB_RANDR_NOTIFY) {
        return false;
    }
    const auto *notice = static_cast<const xcb_randr_notify_event_t *>(message);
    return notice->subCode == XCB_RANDR_NOTIFY_CRTC_CHANGE
           || notice->subCode == XCB_RANDR_NOTIFY_OUTPUT_CHANGE;
}

std::optional<XcbScreenLayoutWatch::Monitors> XcbScreenLayoutWatch::activeMonitors() const
{
    const XcbReply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        m_connection, xcb_randr_get_monitors(m_connection, m_root, 1), nullptr));
    if (!reply) {
        return std::nullopt;
    }
    Monitors monitors;
    for (auto each = xcb_randr_get_monitors_monitors_iterator(reply.get()); each.rem > 0;
         xcb_randr_monitor_info_next(&each)) {
        monitors.emplace_back(each.data->x, each.data->y, each.data->width, each.data->height);
    }
    return monitors;
}

void XcbScreenLayoutWatch::compareMonitors()
{
    m_isCompareQueued = false;
    std::optional<Monitors> monitors = activeMonitors();
    if (monitors && m_monitors && *monitors == *m_monitors) {
        return;
    }
    m_monitors = std::move(monitors);
    Q_EMIT layoutChanged();
}

} // namespace zentrel
