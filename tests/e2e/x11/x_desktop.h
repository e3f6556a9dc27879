#pragma once

#include "platform/x11/xcb_connection.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

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
    // A root painted by its background colour alone, as on a desktop no wallpaper program set.
    bool setPlainBackground(const QColor &color);
    // A picture as the root's background, as xsetroot -bitmap sets one, with no _XROOTPMAP_ID:
    // squares of `first` and `second`, checkerSquare pixels a side, `first` at the root's corner.
    bool setRootPicture(const QColor &first, const QColor &second);
    static constexpr int checkerSquare = 4;
    // An ordinary window of one colour, framed by the window manager as programs' windows are;
    // it never takes the keyboard, so its frame looks the same whatever opens later.
    bool showFramedWindow(const QRect &frame, const QColor &color, const QString &title);
    // A window of one colour below every other, as if a program behind the others opened one.
    bool showWindowAtBottom(const QRect &frame, const QColor &color);
    // A desktop panel along the top edge, as a desktop's own bar: a dock window that reserves
    // its strip of the screen from ordinary windows.
    bool showTopDock(int height, const QColor &color);
    // A desktop program's window under all others, as file managers show the desktop with.
    bool showDesktopWindow(const QColor &color);
    // showDesktopWindow's window, ruled with one-pixel `line`s across and down every `spacing`
    // pixels on `paper`: any resampling of a picture of it shows.
    bool showRuledDesktopWindow(const QColor &paper, const QColor &line, int spacing);
    // Paints the ruled window plain `color`: the desktop changes under a still picture of it.
    bool clearRuledDesktopWindow(const QColor &color);
    // A compositing manager owns _NET_WM_CM_S<screen>; Qt looks there to offer translucency.
    bool waitForCompositor(QDeadlineTimer deadline);
    // Once the compositing manager has gone and the server shows windows by itself again.
    bool waitUntilNoCompositor(QDeadlineTimer deadline);
    // A window manager names its check window on the root, and the window names itself, once
    // it manages the display.
    bool waitForWindowManager(QDeadlineTimer deadline);

private:
    std::uint32_t atom(const char *name);
    // An unmapped window of one colour with the given _NET_WM_WINDOW_TYPE.
    // A window the server paints in `color`; override-redirect keeps window managers away.
    std::uint32_t createWindow(const QRect &frame, const QColor &color, bool overrideRedirect);
    std::uint32_t createTypedWindow(const QRect &frame, const QColor &color, const char *type);
    bool waitForCompositorSelection(bool owned, QDeadlineTimer deadline);
    // The window a window's _NET_SUPPORTING_WM_CHECK names, or XCB_NONE.
    std::uint32_t checkWindowOf(std::uint32_t window);
    // Returns once the server has carried out everything asked before.
    bool sync();

    XcbConnection m_connection;
    int m_screenNumber = 0;
    std::uint32_t m_root = 0;
    std::uint8_t m_depth = 0;
    std::uint32_t m_visual = 0;
    std::uint32_t m_ruledWindow = 0;
};

} // namespace zentrel
