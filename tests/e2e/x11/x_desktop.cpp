#include "e2e/x11/x_desktop.h"

#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <QThread>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

namespace zentrel {

namespace {

constexpr int compositorPollMs = 20;

// Xvfb's 24-bit TrueColor visual keeps red, green and blue in the bytes of 0xRRGGBB.
std::uint32_t pixelOf(const QColor &color)
{
    return color.rgb() & 0xffffffU;
}

} // namespace

XDesktop::XDesktop(const QString &display)
{
    // xcb would take an empty name to mean $DISPLAY, the desktop of whoever runs the tests.
    if (display.isEmpty()) {
        return;
    }
    const QByteArray name = display.toLatin1();
    m_connection.reset(xcb_connect(name.constData(), &m_screenNumber));
    if (!isConnected()) {
        return;
    }
    const xcb_screen_t *screen = screenOf(m_connection.get(), m_screenNumber);
    m_root = screen->root;
    m_depth = screen->root_depth;
    m_visual = screen->root_visual;
}

XDesktop::~XDesktop() = default;

bool XDesktop::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection.get());
}

bool XDesktop::setWallpaper(const QColor &color)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, m_depth, pixmap, m_root, 1, 1);
    const xcb_gcontext_t pen = xcb_generate_id(connection);
    const std::uint32_t foreground = pixelOf(color);
    xcb_create_gc(connection, pen, pixmap, XCB_GC_FOREGROUND, &foreground);
    const xcb_rectangle_t whole{0, 0, 1, 1};
    xcb_poly_fill_rectangle(connection, pixmap, pen, 1, &whole);
    xcb_free_gc(connection, pen);
    xcb_change_window_attributes(connection, m_root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        m_root,
                        atom("_XROOTPMAP_ID"),
                        XCB_ATOM_PIXMAP,
                        32,
                        1,
                        &pixmap);
    xcb_clear_area(connection, 0, m_root, 0, 0, 0, 0);
    return sync();
}

bool XDesktop::setPlainBackground(const QColor &color)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const std::uint32_t pixel = pixelOf(color);
    xcb_change_window_attributes(connection, m_root, XCB_CW_BACK_PIXEL, &pixel);
    xcb_delete_property(connection, m_root, atom("_XROOTPMAP_ID"));
    xcb_clear_area(connection, 0, m_root, 0, 0, 0, 0);
    return sync();
}

bool XDesktop::setRootPicture(const QColor &first, const QColor &second)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    constexpr int side = 2 * checkerSquare;
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, m_depth, pixmap, m_root, side, side);
    const xcb_gcontext_t pen = xcb_generate_id(connection);
    std::uint32_t foreground = pixelOf(first);
    xcb_create_gc(connection, pen, pixmap, XCB_GC_FOREGROUND, &foreground);
    const xcb_rectangle_t whole{0, 0, side, side};
    xcb_poly_fill_rectangle(connection, pixmap, pen, 1, &whole);
    foreground = pixelOf(second);
    xcb_change_gc(connection, pen, XCB_GC_FOREGROUND, &foreground);
    const std::array<xcb_rectangle_t, 2> others{
        xcb_rectangle_t{checkerSquare, 0, checkerSquare, checkerSquare},
        xcb_rectangle_t{0, checkerSquare, checkerSquare, checkerSquare}};
    xcb_poly_fill_rectangle(connection, pixmap, pen, others.size(), others.data());
    xcb_free_gc(connection, pen);
    xcb_change_window_attributes(connection, m_root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_free_pixmap(connection, pixmap);
    xcb_delete_property(connection, m_root, atom("_XROOTPMAP_ID"));
    xcb_clear_area(connection, 0, m_root, 0, 0, 0, 0);
    return sync();
}

bool XDesktop::showFramedWindow(const QRect &frame, const QColor &color, const QString &title)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const xcb_window_t window = createTypedWindow(frame, color, "_NET_WM_WINDOW_TYPE_NORMAL");
    const QByteArray name = title.toUtf8();
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        atom("_NET_WM_NAME"),
                        atom("UTF8_STRING"),
                        8,
                        std::uint32_t(name.size()),
                        name.constData());
    // flags (InputHint), input: no keyboard for this window.
    const std::array<std::uint32_t, 9> hints{1, 0, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        XCB_ATOM_WM_HINTS,
                        XCB_ATOM_WM_HINTS,
                        32,
                        std::uint32_t(hints.size()),
                        hints.data());
    xcb_map_window(connection, window);
    return sync();
}

bool XDesktop::showWindowAtBottom(const QRect &frame, const QColor &color)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    // Override-redirect like the tray host: no window manager runs here. The server paints it.
    const xcb_window_t window = createWindow(frame, color, true);
    // Mapping keeps a window's place in the stack, so lowering first never shows it on top.
    const std::uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
    xcb_map_window(connection, window);
    return sync();
}

bool XDesktop::waitForCompositor(QDeadlineTimer deadline)
{
    return waitForCompositorSelection(true, deadline);
}

bool XDesktop::waitUntilNoCompositor(QDeadlineTimer deadline)
{
    return waitForCompositorSelection(false, deadline);
}

bool XDesktop::waitForCompositorSelection(bool owned, QDeadlineTimer deadline)
{
    if (!isConnected()) {
        return false;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(m_screenNumber);
    const std::uint32_t selection = atom(name.c_str());
    xcb_connection_t *connection = m_connection.get();
    for (;;) {
        const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr));
        if (owner && (owner->owner != XCB_NONE) == owned) {
            return true;
        }
        if (deadline.hasExpired() || !isConnected()) {
            return false;
        }
        QThread::msleep(compositorPollMs);
    }
}

bool XDesktop::showTopDock(int height, const QColor &color)
{
    if (!isConnected()) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const xcb_screen_t *screen = screenOf(connection, m_screenNumber);
    const xcb_window_t window = createTypedWindow(
        QRect(0, 0, screen->width_in_pixels, height), color, "_NET_WM_WINDOW_TYPE_DOCK");
    // left, right, top, bottom, then the start and end of each edge's strip.
    const std::array<std::uint32_t, 12> strut{
        0, 0, std::uint32_t(height), 0, 0, 0, 0, 0, 0, screen->width_in_pixels - 1u, 0, 0};
    xcb_change_property(connection,
                        XCB_PROP_MODE_REPLACE,
                        window,
                        atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL,
                        32,
                        std::uint32_t(strut.size()),
                        strut.data());
    xcb_map_window(connection, window);
    return sync();
}

bool XDesktop::showDesktopWindow(const QColor &color)
{
    if (!isConnected()) {
        return false;
    }
    const xcb_screen_t *screen = screenOf(m_connection.get(), m_screenNumber);
    const xcb_window_t window =
        createTypedWindow(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels),
                          color,
                          "_NET_WM_WINDOW_TYPE_DESKTOP");
    xcb_map_window(m_connection.get(), window);
    return sync();
}

bool XDesktop::showRuledDesktopWindow(const QColor &paper, const QColor &line, int spacing)
{
    if (!isConnected() || spacing <= 0) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    // The server tiles the window with one ruled square: no picture of ours to put.
    const xcb_pixmap_t tile = xcb_generate_id(connection);
    const auto side = std::uint16_t(spacing);
    xcb_create_pixmap(connection, m_depth, tile, m_root, side, side);
    const xcb_gcontext_t pen = xcb_generate_id(connection);
    const std::uint32_t paperPixel = pixelOf(paper);
    xcb_create_gc(connection, pen, tile, XCB_GC_FOREGROUND, &paperPixel);
    const xcb_rectangle_t whole{0, 0, side, side};
    xcb_poly_fill_rectangle(connection, tile, pen, 1, &whole);
    const std::uint32_t linePixel = pixelOf(line);
    xcb_change_gc(connection, pen, XCB_GC_FOREGROUND, &linePixel);
    const std::array<xcb_rectangle_t, 2> rules{xcb_rectangle_t{0, 0, side, 1},
                                               xcb_rectangle_t{0, 0, 1, side}};
    xcb_poly_fill_rectangle(connection, tile, pen, std::uint32_t(rules.size()), rules.data());
    xcb_free_gc(connection, pen);
    const xcb_screen_t *screen = screenOf(connection, m_screenNumber);
    const xcb_window_t window =
        createTypedWindow(QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels),
                          paper,
                          "_NET_WM_WINDOW_TYPE_DESKTOP");
    xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXMAP, &tile);
    // The window keeps the tile for as long as it needs it.
    xcb_free_pixmap(connection, tile);
    xcb_map_window(connection, window);
    m_ruledWindow = window;
    return sync();
}

bool XDesktop::clearRuledDesktopWindow(const QColor &color)
{
    if (!isConnected() || m_ruledWindow == 0) {
        return false;
    }
    xcb_connection_t *connection = m_connection.get();
    const std::uint32_t pixel = pixelOf(color);
    xcb_change_window_attributes(connection, m_ruledWindow, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(connection, 1, m_ruledWindow, 0, 0, 0, 0);
    return sync();
}

std::uint32_t XDesktop::createWindow(const QRect &frame, const QColor &color, bool overrideRedirect)
{
    xcb_connection_t *connection = m_connection.get();
    const xcb_window_t window = xcb_generate_id(connection);
    // Values follow the mask's bit order: the background pixel before override-redirect.
    const std::array<std::uint32_t, 2> values{pixelOf(color), 1};
    xcb_create_window(connection,
                      m_depth,
                      window,
                      m_root,
                      std::int16_t(frame.x()),
                      std::int16_t(frame.y()),
                      std::uint16_t(frame.width()),
                      std::uint16_t(frame.height()),
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      m_visual,
                      XCB_CW_BACK_PIXEL
                          | (overrideRedirect ? std::uint32_t(XCB_CW_OVERRIDE_REDIRECT) : 0u),
                      values.data());
    return window;
}

std::uint32_t XDesktop::createTypedWindow(const QRect &frame, const QColor &color, const char *type)
{
    const xcb_window_t window = createWindow(frame, color, false);
    const std::uint32_t typeAtom = atom(type);
    xcb_change_property(m_connection.get(),
                        XCB_PROP_MODE_REPLACE,
                        window,
                        atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM,
                        32,
                        1,
                        &typeAtom);
    return window;
}

bool XDesktop::waitForWindowManager(QDeadlineTimer deadline)
{
    for (;;) {
        if (!isConnected()) {
            return false;
        }
        const std::uint32_t check = checkWindowOf(m_root);
        if (check != XCB_NONE && checkWindowOf(check) == check) {
            return true;
        }
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(compositorPollMs);
    }
}

std::uint32_t XDesktop::checkWindowOf(std::uint32_t window)
{
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(
            connection, 0, window, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW
        || xcb_get_property_value_length(reply.get()) != 4) {
        return XCB_NONE;
    }
    return *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
}

std::uint32_t XDesktop::atom(const char *name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection.get(),
        xcb_intern_atom(m_connection.get(), 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : XCB_NONE;
}

bool XDesktop::sync()
{
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return reply != nullptr && isConnected();
}

} // namespace zentrel
