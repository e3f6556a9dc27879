#include "platform/x11/capture/x11_screen_composer.h"

#include "platform/x11/capture/x11_damage_watch.h"
#include "platform/x11/capture/x11_image_reader.h"
#include "platform/x11/capture/x11_picture_formats.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_reply.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/composite.h>
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <algorithm>

namespace zentrel {
namespace {

CaptureError platformError(const char *text)
{
    return {CaptureError::Kind::Platform, QString::fromUtf8(text)};
}

struct Disconnect
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

// Copies size pixels from source at from to target at to.
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

struct X11ScreenComposer::State
{
    std::unique_ptr<xcb_connection_t, Disconnect> connection;
    std::unique_ptr<X11ImageReader> reader;
    std::unique_ptr<X11DamageWatch> watch;
    xcb_window_t root = XCB_NONE;
    uint8_t rootDepth = 0;
    QRect rootRect;
    bool canLeaveOut = false;
    std::unordered_map<std::uint32_t, X11PictureFormat> formats;
    xcb_render_pictformat_t rootFormat = XCB_NONE;
    xcb_atom_t wallpaperAtom = XCB_NONE;

    xcb_connection_t *c() const { return connection.get(); }

    X11PictureFormat formatFor(xcb_visualid_t visual) const
    {
        const auto found = formats.find(visual);
        return found == formats.end() ? X11PictureFormat{} : found->second;
    }

    // Errors of requests whose failure only leaves a window out (one unmapped meanwhile) land
    // in the event queue beside the watch's reports; nothing else reads this connection.
    void takeQueuedEvents() const
    {
        if (watch) {
            watch->takeQueuedEvents();
            return;
        }
        while (xcb_generic_event_t *event = xcb_poll_for_event(c())) {
            std::free(event);
        }
    }
};

tl::expected<std::unique_ptr<X11ScreenComposer>, CaptureError>
X11ScreenComposer::open(const QByteArray &display)
{
    auto state = std::make_unique<State>();
    int screenNumber = 0;
    state->connection.reset(
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber));
    xcb_connection_t *c = state->c();
    if (xcb_connection_has_error(c)) {
        return tl::unexpected(platformError("Zentrel could not connect to the X server."));
    }
    const xcb_setup_t *setup = xcb_get_setup(c);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i) {
        xcb_screen_next(&screens);
    }
    if (!screens.rem) {
        return tl::unexpected(CaptureError{});
    }
    state->root = screens.data->root;
    state->rootDepth = screens.data->root_depth;
    state->rootRect = QRect(0, 0, screens.data->width_in_pixels, screens.data->height_in_pixels);

    bool fourBytesPerPixel = false;
    auto pixmapFormats = xcb_setup_pixmap_formats_iterator(setup);
    for (; pixmapFormats.rem; xcb_format_next(&pixmapFormats)) {
        if (pixmapFormats.data->depth == state->rootDepth) {
            fourBytesPerPixel = pixmapFormats.data->bits_per_pixel == 32;
        }
    }
    if (!fourBytesPerPixel || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST
        || state->rootDepth < 24) {
        return tl::unexpected(platformError("The X server's pixel layout cannot be read."));
    }

    const bool composite = xcb_get_extension_data(c, &xcb_composite_id)->present;
    const bool render = xcb_get_extension_data(c, &xcb_render_id)->present;
    if (composite && render) {
        const XcbReply<xcb_composite_query_version_reply_t> version(
            xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
        const XcbReply<xcb_render_query_version_reply_t> renderVersion(
            xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr));
        state->formats = x11PictureFormats(c);
        // NameWindowPixmap came with Composite 0.2.
        const bool named = version && (version->major_version > 0 || version->minor_version >= 2);
        if (named && renderVersion) {
            state->rootFormat = state->formatFor(screens.data->root_visual).id;
        }
        state->canLeaveOut = state->rootFormat != XCB_NONE;
    }
    if (state->canLeaveOut && !x11CompositingManagerRuns(c, screenNumber)) {
        // Without it a window keeps no pixels where another covers it; the server drops the
        // redirection when this connection closes.
        const XcbReply<xcb_generic_error_t> error(
            xcb_request_check(c,
                              xcb_composite_redirect_subwindows_checked(
                                  c, state->root, XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
        state->canLeaveOut = !error;
    }
    state->reader = std::make_unique<X11ImageReader>(c);
    state->wallpaperAtom = x11Atom(c, "_XROOTPMAP_ID");
    return std::unique_ptr<X11ScreenComposer>(new X11ScreenComposer(std::move(state)));
}

X11ScreenComposer::X11ScreenComposer(std::unique_ptr<State> state)
    : m_state(std::move(state))
{}

X11ScreenComposer::~X11ScreenComposer() = default;

bool X11ScreenComposer::canLeaveOut() const
{
    return m_state->canLeaveOut;
}

QRect X11ScreenComposer::rootRect() const
{
    return m_state->rootRect;
}

void X11ScreenComposer::useSharedMemory()
{
    m_state->reader->useSharedMemory();
}

void X11ScreenComposer::watchChanges()
{
    if (m_state->canLeaveOut && !m_state->watch) {
        m_state->watch = std::make_unique<X11DamageWatch>(m_state->c(), m_state->root);
    }
}

bool X11ScreenComposer::hasChangedWithin(const QRect &area)
{
    if (!m_state->watch) {
        return true;
    }
    m_state->takeQueuedEvents();
    return m_state->watch->takeChangesWithin(area);
}

tl::expected<QImage, CaptureError>
X11ScreenComposer::compose(const QRect &area, const std::vector<std::uint32_t> &leftOut)
{
    if (!m_state->canLeaveOut) {
        return m_state->reader->read(m_state->root, area);
    }
    xcb_connection_t *c = m_state->c();
    const xcb_window_t root = m_state->root;
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree) {
        return tl::unexpected(platformError("The X server did not list its windows."));
    }
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    for (int i = 0; i < count; ++i) {
        attributeCookies.push_back(xcb_get_window_attributes(c, children[i]));
        geometryCookies.push_back(xcb_get_geometry(c, children[i]));
    }
    // Asked along with the windows, so the answer costs no round trip of its own.
    const xcb_get_property_cookie_t wallpaperCookie =
        xcb_get_property(c, 0, root, m_state->wallpaperAtom, XCB_ATOM_PIXMAP, 0, 1);
    const std::vector<std::uint32_t> ours = x11TopLevelsOf(c, root, leftOut);

    struct Layer
    {
        xcb_window_t window;
        QRect frame;
        xcb_visualid_t visual;
    };

    std::vector<Layer> layers;
    std::vector<QRect> holes;
    for (int i = 0; i < count; ++i) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, attributeCookies[i], nullptr));
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(c, geometryCookies[i], nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE
            || attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY) {
            continue;
        }
        const int border = geometry->border_width * 2;
        const QRect frame(
            geometry->x, geometry->y, geometry->width + border, geometry->height + border);
        const QRect part = frame & area;
        if (part.isEmpty()) {
            continue;
        }
        if (std::find(ours.begin(), ours.end(), children[i]) != ours.end()) {
            holes.push_back(part);
        } else {
            layers.push_back({children[i], frame, attributes->visual});
        }
    }

    if (m_state->watch) {
        std::vector<std::uint32_t> shown;
        for (const Layer &layer : layers) {
            shown.push_back(layer.window);
        }
        // Before the read, so whatever changes after it is reported.
        m_state->watch->watch(shown);
    }

    const xcb_pixmap_t target = xcb_generate_id(c);
    xcb_create_pixmap(c, m_state->rootDepth, target, root, area.width(), area.height());
    const xcb_render_picture_t targetPicture = xcb_generate_id(c);
    xcb_render_create_picture(c, targetPicture, target, m_state->rootFormat, 0, nullptr);
    // The screen as it is shows the desktop where no window lies; our windows are then covered
    // with the wallpaper (black without one) and every other window painted again on top.
    const xcb_render_picture_t screen = xcb_generate_id(c);
    const uint32_t inferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    xcb_render_create_picture(
        c, screen, root, m_state->rootFormat, XCB_RENDER_CP_SUBWINDOW_MODE, &inferiors);
    paint(c,
          XCB_RENDER_PICT_OP_SRC,
          screen,
          targetPicture,
          area.topLeft(),
          QPoint(0, 0),
          area.size());
    xcb_render_free_picture(c, screen);

    const XcbReply<xcb_get_property_reply_t> wallpaperProperty(
        xcb_get_property_reply(c, wallpaperCookie, nullptr));
    xcb_render_picture_t wallpaper = XCB_NONE;
    if (wallpaperProperty && xcb_get_property_value_length(wallpaperProperty.get()) == 4) {
        wallpaper = xcb_generate_id(c);
        const auto pixmap =
            *static_cast<xcb_pixmap_t *>(xcb_get_property_value(wallpaperProperty.get()));
        // A wallpaper tiles the root like its background does: a solid colour is one pixel.
        const uint32_t repeat = XCB_RENDER_REPEAT_NORMAL;
        xcb_render_create_picture(
            c, wallpaper, pixmap, m_state->rootFormat, XCB_RENDER_CP_REPEAT, &repeat);
    }

    // Our windows go first, so that other windows above or below them fill their place again.
    for (const QRect &part : holes) {
        const QPoint to = part.topLeft() - area.topLeft();
        const xcb_render_color_t black{0, 0, 0, 0xffff};
        const xcb_rectangle_t hole{
            int16_t(to.x()), int16_t(to.y()), uint16_t(part.width()), uint16_t(part.height())};
        xcb_render_fill_rectangles(c, XCB_RENDER_PICT_OP_SRC, targetPicture, black, 1, &hole);
        if (wallpaper != XCB_NONE) {
            paint(c,
                  XCB_RENDER_PICT_OP_SRC,
                  wallpaper,
                  targetPicture,
                  part.topLeft(),
                  to,
                  part.size());
        }
    }
    for (const Layer &layer : layers) {
        const QRect part = layer.frame & area;
        const QPoint to = part.topLeft() - area.topLeft();
        const X11PictureFormat format = m_state->formatFor(layer.visual);
        if (format.id == XCB_NONE) {
            continue;
        }
        const xcb_pixmap_t contents = xcb_generate_id(c);
        xcb_composite_name_window_pixmap(c, layer.window, contents);
        const xcb_render_picture_t picture = xcb_generate_id(c);
        xcb_render_create_picture(c, picture, contents, format.id, 0, nullptr);
        const QPoint from = part.topLeft() - layer.frame.topLeft();
        paint(c,
              format.hasAlpha ? XCB_RENDER_PICT_OP_OVER : XCB_RENDER_PICT_OP_SRC,
              picture,
              targetPicture,
              from,
              to,
              part.size());
        xcb_render_free_picture(c, picture);
        xcb_free_pixmap(c, contents);
    }
    if (wallpaper != XCB_NONE) {
        xcb_render_free_picture(c, wallpaper);
    }
    auto image = m_state->reader->read(target, QRect(QPoint(0, 0), area.size()));
    xcb_render_free_picture(c, targetPicture);
    xcb_free_pixmap(c, target);
    xcb_flush(c);
    m_state->takeQueuedEvents();
    return image;
}

} // namespace zentrel
