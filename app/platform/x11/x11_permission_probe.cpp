#include "platform/x11/x11_permission_probe.h"

#include "platform/x11/input/xinput_monitor.h"
#include "platform/x11/xcb_connection.h"

#include <xcb/xcb.h>

// The XKB protocol header names a field "explicit", which C++ reserves.
#define explicit explicitComponents
#include <xcb/xkb.h>
#undef explicit

#include <memory>

namespace zentrel {
namespace {

const char *const noDisplay = "No X display could be reached.";

// A connection of our own: asking for the XInput version on Qt's would change what Qt agreed.
XcbConnection connectToDisplay()
{
    XcbConnection connection(xcb_connect(nullptr, nullptr));
    if (!connection || xcb_connection_has_error(connection.get()) != 0) {
        return nullptr;
    }
    return connection;
}

PermissionStatus probeScreenRecording()
{
    if (!connectToDisplay()) {
        return {false, noDisplay};
    }
    return {true, {}};
}

PermissionStatus probeAccessibility()
{
    const XcbConnection connection = connectToDisplay();
    if (!connection) {
        return {false, noDisplay};
    }
    if (!xinputOpcode(connection.get())) {
        return {false, "The X server lacks the XInput 2 extension."};
    }
    const xcb_query_extension_reply_t *xkb = xcb_get_extension_data(connection.get(), &xcb_xkb_id);
    if (xkb == nullptr || xkb->present == 0) {
        return {false, "The X server lacks the XKB extension."};
    }
    return {true, {}};
}

} // namespace

PermissionStatus X11PermissionProbe::screenRecording() const
{
    if (!m_screenRecording) {
        m_screenRecording = probeScreenRecording();
    }
    return *m_screenRecording;
}

PermissionStatus X11PermissionProbe::accessibility() const
{
    if (!m_accessibility) {
        m_accessibility = probeAccessibility();
    }
    return *m_accessibility;
}

} // namespace zentrel
