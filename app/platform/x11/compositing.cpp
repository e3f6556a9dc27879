#include "platform/x11/compositing.h"

#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_window_tree.h"

namespace zentrel {

bool isX11CompositingActive()
{
    xcb_connection_t *connection = qtX11Connection();
    return connection && x11CompositingManagerRuns(connection, 0);
}

} // namespace zentrel
