#include "platform/x11/capture/x11_render_canvas.h"

#include <xcb/composite.h>
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <vector>

namespace zentrel {
namespace {

// Copies or blends size pixels from source at from to target at to.
void paint(xcb_connection_t *c,
           uint8_t op,
           uint32_t source,
           uint32_t target,
           QPoint from,
           QPoint to,
           QSize size)
{
    xcb_render_composite(c,
                         op,
                         source,
                         XCB_NONE,
                         target,
                         int16_t(from.x()),
                         int16_t(from.y()),
                         0,
                         0,
                         int16_t(to.x()),
                         int16_t(to.y()),
                         uint16_t(size.width()),
                         uint16_t(size.height()));
}

} // namespace

X11RenderCanvas::X11RenderCanvas(xcb_connection_t *connection,
                                 std::uint8_t depth,
                                 std::uint32_t root,
                                 std::uint32_t format,
                                 const QRect &area)
    : m_connection(connection)
    , m_area(area)
    , m_pixmap(xcb_generate_id(connection))
    , m_picture(xcb_generate_id(connection))
{
    xcb_create_pixmap(
        connection, depth, m_pixmap, root, uint16_t(area.width()), uint16_t(area.height()));
    xcb_render_create_picture(connection, m_picture, m_pixmap, format, 0, nullptr);
}

X11RenderCanvas::~X11RenderCanvas()
{
    xcb_render_free_picture(m_connection, m_picture);
    xcb_free_pixmap(m_connection, m_pixmap);
    xcb_flush(m_connection);
}

void X11RenderCanvas::copy(std::uint32_t source, const QRect &part)
{
    paint(m_connection,
          XCB_RENDER_PICT_OP_SRC,
          source,
          m_picture,
          part.topLeft(),
          part.topLeft() - m_area.topLeft(),
          part.size());
}

void X11RenderCanvas::fillBlack(const QRect &part)
{
    const QPoint to = part.topLeft() - m_area.topLeft();
    const xcb_render_color_t black{0, 0, 0, 0xffff};
    const xcb_rectangle_t rectangle{
        int16_t(to.x()), int16_t(to.y()), uint16_t(part.width()), uint16_t(part.height())};
    xcb_render_fill_rectangles(
        m_connection, XCB_RENDER_PICT_OP_SRC, m_picture, black, 1, &rectangle);
}

void X11RenderCanvas::paintWindows(
    const std::unordered_map<std::uint32_t, X11PictureFormat> &formats,
    std::span<const X11Layer> windows)
{
    for (const X11Layer &layer : windows) {
        const auto format = formats.find(layer.visual);
        if (format != formats.end()) {
            paintWindow(format->second, layer, layer.shown);
        }
    }
}

void X11RenderCanvas::paintWindow(const X11PictureFormat &format,
                                  const X11Layer &window,
                                  const QRegion &region)
{
    const QRegion within = region & QRegion(m_area);
    if (within.isEmpty()) {
        return;
    }
    xcb_connection_t *c = m_connection;
    std::vector<xcb_rectangle_t> clip;
    for (const QRect &rect : within) {
        const QPoint to = rect.topLeft() - m_area.topLeft();
        clip.push_back(
            {int16_t(to.x()), int16_t(to.y()), uint16_t(rect.width()), uint16_t(rect.height())});
    }
    xcb_render_set_picture_clip_rectangles(c, m_picture, 0, 0, uint32_t(clip.size()), clip.data());
    const QRect part = within.boundingRect();
    const xcb_pixmap_t contents = xcb_generate_id(c);
    xcb_composite_name_window_pixmap(c, window.window, contents);
    const xcb_render_picture_t picture = xcb_generate_id(c);
    xcb_render_create_picture(c, picture, contents, format.id, 0, nullptr);
    // Translucent edges and shadows (ARGB windows) are blended over what lies below.
    paint(c,
          format.hasAlpha ? XCB_RENDER_PICT_OP_OVER : XCB_RENDER_PICT_OP_SRC,
          picture,
          m_picture,
          part.topLeft() - window.frame.topLeft(),
          part.topLeft() - m_area.topLeft(),
          part.size());
    xcb_render_free_picture(c, picture);
    xcb_free_pixmap(c, contents);
    const uint32_t noClip = XCB_NONE;
    xcb_render_change_picture(c, m_picture, XCB_RENDER_CP_CLIP_MASK, &noClip);
}

} // namespace zentrel
