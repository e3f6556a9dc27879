#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

// Tells when the screen has settled after changes: a window that just closed or turned
// transparent leaves the screen only with the compositing manager's next frame, and some animate
// that for a while (mutter shrinks and fades a closing window). The Damage reports on the root,
// which hold every frame a compositing manager draws, tell when it is done. Watches from its
// construction, so make the changes after it; without the Damage extension it waits for nothing.
class X11ScreenSettle
{
public:
    X11ScreenSettle(xcb_connection_t *connection, std::uint32_t root);
    ~X11ScreenSettle();
    X11ScreenSettle(const X11ScreenSettle &) = delete;
    X11ScreenSettle &operator=(const X11ScreenSettle &) = delete;

    // Returns once a frame has been drawn and then nothing for a few frames, or after a short
    // limit at most.
    void wait();

private:
    // Whether the queued events held a report; every queued event is used up.
    bool takeReports();

    xcb_connection_t *m_connection;
    std::uint8_t m_notifyType = 0;
    std::uint32_t m_damage = 0;
};

} // namespace zentrel
