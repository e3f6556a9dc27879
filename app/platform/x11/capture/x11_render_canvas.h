#pragma once

#include "platform/x11/capture/x11_picture_formats.h"
#include "platform/x11/capture/x11_window_layers.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>
#include <span>
#include <unordered_map>

struct xcb_connection_t;

namespace zentrel {

// A picture of an area of the screen being composed in the server, in a pixmap of the root's
// depth; both are freed with this.
class X11RenderCanvas
{
public:
    X11RenderCanvas(xcb_connection_t *connection,
                    std::uint8_t depth,
                    std::uint32_t root,
                    std::uint32_t format,
                    const QRect &area);
    ~X11RenderCanvas();
    X11RenderCanvas(const X11RenderCanvas &) = delete;
    X11RenderCanvas &operator=(const X11RenderCanvas &) = delete;

    std::uint32_t pixmap() const { return m_pixmap; }

    // In root pixels.
    QRect area() const { return m_area; }

    // Replaces the part of the canvas at `part` (root pixels, inside the area) with the same
    // part of the picture `source` of the whole screen.
    void copy(std::uint32_t source, const QRect &part);
    void fillBlack(const QRect &part);
    // Paints each window's own pixels where it shows, bottom to top.
    void paintWindows(const std::unordered_map<std::uint32_t, X11PictureFormat> &formats,
                      std::span<const X11Layer> windows);
    // Paints the window's own pixels only within `region` (root pixels).
    void paintWindow(const X11PictureFormat &format, const X11Layer &window, const QRegion &region);

private:
    xcb_connection_t *m_connection;
    QRect m_area;
    std::uint32_t m_pixmap;
    std::uint32_t m_picture;
};

} // namespace zentrel
