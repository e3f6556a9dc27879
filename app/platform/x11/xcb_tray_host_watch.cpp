#include "platform/x11/xcb_tray_host_watch.h"

#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <QTimer>

#include <xcb/xcb.h>

#include <optional>
#include <string>

namespace zentrel {
namespace {

// Soon enough that the launcher stands in within a few seconds of a tray going away.
constexpr int pollIntervalMs = 1000;

} // namespace

std::unique_ptr<XcbTrayHostWatch> XcbTrayHostWatch::create()
{
    int screenNumber = 0;
    XcbConnection connection(xcb_connect(nullptr, &screenNumber));
    if (!connection || xcb_connection_has_error(connection.get()) != 0) {
        return nullptr;
    }
    const std::uint32_t selection =
        x11Atom(connection.get(), "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    if (selection == XCB_NONE) {
        return nullptr;
    }
    return std::unique_ptr<XcbTrayHostWatch>(
        new XcbTrayHostWatch(std::move(connection), selection));
}

XcbTrayHostWatch::XcbTrayHostWatch(XcbConnection connection, std::uint32_t selection)
    : m_connection(std::move(connection))
    , m_selection(selection)
    , m_timer(new QTimer(this))
    , m_hasTrayHost(isSelectionOwned().value_or(false))
{
    connect(m_timer, &QTimer::timeout, this, &XcbTrayHostWatch::poll);
    m_timer->start(pollIntervalMs);
}

XcbTrayHostWatch::~XcbTrayHostWatch() = default;

std::optional<bool> XcbTrayHostWatch::isSelectionOwned() const
{
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection.get(), xcb_get_selection_owner(m_connection.get(), m_selection), nullptr));
    if (!owner) {
        return std::nullopt;
    }
    return owner->owner != XCB_NONE;
}

void XcbTrayHostWatch::poll()
{
    // A lost connection says nothing about the tray: the last answer stands.
    const std::optional<bool> hasTrayHost = isSelectionOwned();
    if (!hasTrayHost) {
        m_timer->stop();
        return;
    }
    if (*hasTrayHost != m_hasTrayHost) {
        m_hasTrayHost = *hasTrayHost;
        Q_EMIT trayHostChanged(m_hasTrayHost);
    }
}

} // namespace zentrel
