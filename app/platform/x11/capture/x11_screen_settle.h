#pragma once

#include <QPoint>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

struct xcb_connection_t;

namespace zentrel {

class X11ImageReader;

// Tells when the screen has settled after changes: a window that just closed or turned
// transparent leaves the screen only with the compositing manager's next frame, which a busy one
// draws late, and some animate it for a while (mutter shrinks and fades a closing window). A
// pixel of ours shown and taken away again tells that the compositing manager has drawn what came
// before; the Damage reports on the root, which hold every frame it draws, then tell when it is
// done. Watches from its construction, so make the changes after it.
class X11ScreenSettle
{
public:
    // corner: a pixel of the screen, in root pixels, that may blink once; reader reads it.
    X11ScreenSettle(xcb_connection_t *connection,
                    X11ImageReader &reader,
                    std::uint32_t root,
                    QPoint corner);
    ~X11ScreenSettle();
    X11ScreenSettle(const X11ScreenSettle &) = delete;
    X11ScreenSettle &operator=(const X11ScreenSettle &) = delete;

    // Returns once a frame has been drawn and then nothing for a few frames, or after a short
    // limit at most.
    void wait();

private:
    // Whether the queued events held a report; every queued event is used up.
    bool takeReports();
    // How long the compositing manager took to show a pixel of ours; it is gone again on return.
    std::chrono::milliseconds blinkCorner();
    // The corner's pixel as the screen shows it; nothing when it cannot be read.
    std::optional<std::uint32_t> cornerPixel();
    // Returns once shows(cornerPixel()) or after the limit.
    void waitForCorner(const std::function<bool(std::uint32_t)> &shows);

    xcb_connection_t *m_connection;
    X11ImageReader &m_reader;
    std::uint32_t m_root;
    QPoint m_corner;
    std::uint8_t m_notifyType = 0;
    std::uint32_t m_damage = 0;
};

} // namespace zentrel
