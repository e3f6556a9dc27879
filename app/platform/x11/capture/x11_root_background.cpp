#include "platform/x11/capture/x11_root_background.h"

#include "platform/x11/capture/x11_render_canvas.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/composite.h>
#include <xcb/render.h>
#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <array>

namespace zentrel {

X11RootBackground::X11RootBackground(xcb_connection_t *connection,
                                     std::uint32_t root,
                                     const QRect &rootRect,
                                     std::uint32_t format)
    : m_connection(connection)
    , m_root(root)
    , m_rootRect(rootRect)
    , m_format(format)
{}

X11RootBackground::~X11RootBackground()
{
    if (m_picture == XCB_NONE) {
        return;
    }
    xcb_render_free_picture(m_connection, m_picture);
    xcb_free_pixmap(m_connection, m_pixmap);
    xcb_flush(m_connection);
}

bool X11RootBackground::isAvailable()
{
    if (!m_tried) {
        m_tried = true;
        take();
    }
    return m_picture != XCB_NONE;
}

void X11RootBackground::paint(X11RenderCanvas &canvas, const QRect &part)
{
    if (!isAvailable()) {
        canvas.fillBlack(part);
        return;
    }
    canvas.copy(m_picture, part & m_rootRect);
}

void X11RootBackground::take()
{
    xcb_connection_t *c = m_connection;
    // Without an input shape it would take the pointer's clicks from the desktop meanwhile.
    const XcbReply<xcb_shape_query_version_reply_t> shape(
        xcb_get_extension_data(c, &xcb_shape_id)->present
            ? xcb_shape_query_version_reply(c, xcb_shape_query_version(c), nullptr)
            : nullptr);
    if (!shape || (shape->major_version == 1 && shape->minor_version < 1)) {
        return;
    }
    const xcb_window_t window = xcb_generate_id(c);
    // Values follow the mask's bit order: the background before override-redirect. A background
    // relative to the parent is the root's own, tiled from the root's corner.
    const std::array<uint32_t, 2> values{XCB_BACK_PIXMAP_PARENT_RELATIVE, 1};
    xcb_create_window(c,
                      XCB_COPY_FROM_PARENT,
                      window,
                      m_root,
                      int16_t(m_rootRect.x()),
                      int16_t(m_rootRect.y()),
                      uint16_t(m_rootRect.width()),
                      uint16_t(m_rootRect.height()),
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT,
                      values.data());
    xcb_shape_rectangles(c,
                         XCB_SHAPE_SO_SET,
                         XCB_SHAPE_SK_INPUT,
                         XCB_CLIP_ORDERING_UNSORTED,
                         window,
                         0,
                         0,
                         0,
                         nullptr);
    // Mapped only once redirected: otherwise it would cover the screen.
    const XcbReply<xcb_generic_error_t> refused(xcb_request_check(
        c, xcb_composite_redirect_window_checked(c, window, XCB_COMPOSITE_REDIRECT_MANUAL)));
    if (refused) {
        xcb_destroy_window(c, window);
        return;
    }
    const uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
    xcb_map_window(c, window);
    xcb_clear_area(c, 0, window, 0, 0, 0, 0);
    // The named pixmap outlives the window, and keeps what it painted.
    m_pixmap = xcb_generate_id(c);
    xcb_composite_name_window_pixmap(c, window, m_pixmap);
    xcb_destroy_window(c, window);
    m_picture = xcb_generate_id(c);
    xcb_render_create_picture(c, m_picture, m_pixmap, m_format, 0, nullptr);
    // Gone before a compositing manager asks for the root's windows.
    xcb_flush(c);
}

} // namespace zentrel
