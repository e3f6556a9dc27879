#include "platform/x11/x11_click_through_frame.h"

#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <vector>

namespace zentrel {
X11ClickThroughFrame::X11ClickThroughFrame(std::uint32_t window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    xcb_connection_t *connection = qtX11Connection();
    const xcb_query_extension_reply_t *shape =
        connection ? xcb_get_extension_data(connection, &xcb_shape_id) : nullptr;
    if (!shape || !shape->present) {
        return;
    }
    m_shapeEventBase = shape->first_event;
    qGuiApp->installNativeEventFilter(this);
    letClicksThroughAncestors();
}

// Qt hears of its windows' new parents; a window manager that later reshapes the frame for a
// reason of its own, as for a change of the window's own shape, may give the frame its input back.
bool X11ClickThroughFrame::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_REPARENT_NOTIFY) {
        const auto *reparent = reinterpret_cast<const xcb_reparent_notify_event_t *>(event);
        if (reparent->window == m_window) {
            letClicksThroughAncestors();
        }
    } else if (type == m_shapeEventBase + XCB_SHAPE_NOTIFY) {
        const auto *notify = reinterpret_cast<const xcb_shape_notify_event_t *>(event);
        constexpr int mostFrameReturns = 8;
        if (notify->shape_kind == XCB_SHAPE_SK_INPUT && notify->extents_width > 0
            && notify->extents_height > 0 && isAncestor(notify->affected_window)
            && m_frameReturns < mostFrameReturns) {
            ++m_frameReturns;
            letClicksThroughAncestors();
        }
    }
    return false;
}

bool X11ClickThroughFrame::isAncestor(std::uint32_t window) const
{
    return std::ranges::find(m_ancestors, window) != m_ancestors.end();
}

void X11ClickThroughFrame::letClicksThroughAncestors()
{
    xcb_connection_t *connection = qtX11Connection();
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, m_window), nullptr));
    if (!geometry) {
        return;
    }
    const std::vector<std::uint32_t> path = x11PathToRoot(connection, geometry->root, m_window);
    // The window itself lets clicks through already, by Qt's own input shape.
    m_ancestors.assign(path.begin() + (path.empty() ? 0 : 1), path.end());
    for (const std::uint32_t ancestor : m_ancestors) {
        xcb_shape_rectangles(connection,
                             XCB_SHAPE_SO_SET,
                             XCB_SHAPE_SK_INPUT,
                             XCB_CLIP_ORDERING_UNSORTED,
                             ancestor,
                             0,
                             0,
                             0,
                             nullptr);
        xcb_shape_select_input(connection, ancestor, 1);
    }
    xcb_flush(connection);
}

} // namespace zentrel
