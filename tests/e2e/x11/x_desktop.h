#pragma once

#include <QColor>
#include <QDeadlineTimer>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

namespace zentrel {

// Sets the scene other programs make around zentrel: a wallpaper and plain windows below the
// rest. What it makes lives as long as its connection, so keep it until the test ends.
class XDesktop
{
public:
    explicit XDesktop(const QString &display);
    ~XDesktop();
    XDesktop(const XDesktop &) = delete;
    XDesktop &operator=(const XDesktop &) = delete;

    bool isConnected() const;

    // Set as wallpaper programs do: as the root's background and in _XROOTPMAP_ID, where
    // compositing managers look for it.
    bool setWallpaper(const QColor &color);
    // A window of one colour below every other, as if a program behind the others opened one.
    bool showWindowAtBottom(const QRect &frame, const QColor &color);
    // A desktop panel along the top edge, as a desktop's own bar: a dock window that reserves
    // its strip of the screen from ordinary windows.
    bool showTopDock(int height, const QColor &color);
    // A compositing manager owns _NET_WM_CM_S<screen>; Qt looks there to offer translucency.
    bool waitForCompositor(QDeadlineTimer deadline);
    // A window manager names its check window on the root, and the window names itself, once
    // it manages the display.
    bool waitForWindowManager(QDeadlineTimer deadline);

private:
    std::uint32_t atom(const char *name);
    // The window a window's _NET_SUPPORTING_WM_CHECK names, or XCB_NONE.
    std::uint32_t checkWindowOf(std::uint32_t window);
    // Returns once the server has carried out everything asked before.
    bool sync();

    struct Disconnect
    {
        void operator()(xcb_connection_t *connection) const;
    };

    std::unique_ptr<xcb_connection_t, Disconnect> m_connection;
    int m_screenNumber = 0;
    std::uint32_t m_root = 0;
    std::uint8_t m_depth = 0;
    std::uint32_t m_visual = 0;
};

} // namespace zentrel
