#pragma once

#include <QRect>

#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

class X11RenderCanvas;

// The root's background as the server paints it where no window covers the root (a picture
// xsetroot or a wallpaper program set, or a plain colour), for the parts of the screen our own
// windows cover. The server keeps no picture of those parts, so a window the size of the root
// paints the same background into pixels kept from then on: redirected by hand, it never shows,
// and it is gone again at once, for while it lives no compositing manager can start. A
// background changed later is not seen. Taken on first use; lives on its owner's connection.
class X11RootBackground
{
public:
    X11RootBackground(xcb_connection_t *connection,
                      std::uint32_t root,
                      const QRect &rootRect,
                      std::uint32_t format);
    ~X11RootBackground();
    X11RootBackground(const X11RootBackground &) = delete;
    X11RootBackground &operator=(const X11RootBackground &) = delete;

    // Takes the background on first use; false where the server would not let the window be
    // made: without Shape 1.1, or while a compositing manager redirects the root's windows by
    // hand.
    bool isAvailable();

    // Paints the background into `part` of the canvas (root pixels); black where the server
    // would not let the window be made.
    void paint(X11RenderCanvas &canvas, const QRect &part);

private:
    void take();

    xcb_connection_t *m_connection;
    std::uint32_t m_root;
    QRect m_rootRect;
    std::uint32_t m_format;
    bool m_tried = false;
    std::uint32_t m_pixmap = 0;
    std::uint32_t m_picture = 0;
};

} // namespace zentrel
