#include "platform/x11/x11_frame_extents.h"

#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <utility>

namespace zentrel {
namespace {

// Asked of the server once: the program keeps one connection for its life.
xcb_atom_t frameExtentsAtom(xcb_connection_t *connection)
{
    static const xcb_atom_t atom = x11Atom(connection, "_NET_FRAME_EXTENTS");
    return atom;
}

} // namespace

std::optional<QMargins> x11FrameExtents(std::uint32_t window)
{
    xcb_connection_t *connection = qtX11Connection();
    if (!connection) {
        return std::nullopt;
    }
    const xcb_atom_t atom = frameExtentsAtom(connection);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, atom, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32
        || xcb_get_property_value_length(reply.get()) != 16) {
        return std::nullopt;
    }
    // Left, right, top, bottom.
    const auto *sides = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
}

X11FrameExtentsWatch::X11FrameExtentsWatch(QWidget &window, std::function<void()> told)
    : QObject(&window)
    , m_window(&window)
    , m_told(std::move(told))
{
    if (qtX11Connection()) {
        qGuiApp->installNativeEventFilter(this);
    }
}

// Qt selects property changes on its own windows.
bool X11FrameExtentsWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_window) {
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    const QWindow *handle = m_window->windowHandle();
    if (notify->atom == frameExtentsAtom(qtX11Connection()) && handle
        && notify->window == handle->winId()) {
        // Out of the event's handling, where Qt may move and show windows again.
        QTimer::singleShot(0, this, [this] { m_told(); });
    }
    return false;
}

} // namespace zentrel
