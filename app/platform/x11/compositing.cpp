#include "platform/x11/compositing.h"

#include "platform/x11/x11_window_tree.h"

#include <QGuiApplication>

namespace zentrel {

bool isX11CompositingActive()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    return connection && x11CompositingManagerRuns(connection, 0);
}

} // namespace zentrel
