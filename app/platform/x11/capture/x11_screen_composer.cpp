#include "platform/x11/capture/x11_screen_composer.h"

#include "platform/x11/capture/x11_damage_watch.h"
#include "platform/x11/capture/x11_image_reader.h"
#include "platform/x11/capture/x11_own_top_levels.h"
#include "platform/x11/capture/x11_picture_formats.h"
#include "platform/x11/capture/x11_render_canvas.h"
#include "platform/x11/capture/x11_root_background.h"
#include "platform/x11/capture/x11_screen_settle.h"
#include "platform/x11/capture/x11_window_content.h"
#include "platform/x11/capture/x11_window_layers.h"
#include "platform/x11/capture/x11_window_opacity.h"
#include "platform/x11/x11_window_tree.h"
#include "platform/x11/xcb_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QRegion>

#include <xcb/composite.h>
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace zentrel {
namespace {

CaptureError platformError(const char *text)
{
    return {CaptureError::Kind::Platform, QString::fromUtf8(text)};
}

std::vector<X11DamageWatch::Window> watched(const std::vector<X11Layer> &layers)
{
    std::vector<X11DamageWatch::Window> windows;
    for (const X11Layer &layer : layers) {
        windows.push_back({layer.window, layer.frame});
    }
    return windows;
}

// A compositing manager redirects the root's windows by hand, and the server lets one client at
// a time do so: a window of ours that the server will not let us redirect by hand tells that one
// runs, also where none holds the selection (xcompmgr once metacity took and dropped it).
bool othersRedirectByHand(xcb_connection_t *c, xcb_window_t root)
{
    const xcb_window_t probe = xcb_generate_id(c);
    const uint32_t overrideRedirect = 1;
    xcb_create_window(c,
                      XCB_COPY_FROM_PARENT,
                      probe,
                      root,
                      0,
                      0,
                      1,
                      1,
                      0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT,
                      &overrideRedirect);
    const XcbReply<xcb_generic_error_t> refused(xcb_request_check(
        c, xcb_composite_redirect_window_checked(c, probe, XCB_COMPOSITE_REDIRECT_MANUAL)));
    xcb_destroy_window(c, probe);
    return refused && refused->error_code == XCB_ACCESS;
}

} // namespace

struct X11ScreenComposer::State
{
    XcbConnection connection;
    std::unique_ptr<X11ImageReader> reader;
    std::unique_ptr<X11DamageWatch> watch;
    xcb_window_t root = XCB_NONE;
    uint8_t rootDepth = 0;
    QRect rootRect;
    bool canLeaveOut = false;
    std::unordered_map<std::uint32_t, X11PictureFormat> formats;
    xcb_render_pictformat_t rootFormat = XCB_NONE;
    bool compositing = false;
    // The compositing manager's selection of this screen, watched while none runs.
    xcb_atom_t managerSelection = XCB_NONE;
    // A window manager that composites the screen itself adds to its frames in its compositor:
    // KWin draws title bars and borders there, leaving the frames' own pixels as the server
    // made them (black, or a copy of what lay below); mutter rounds corners and casts shadows.
    bool framesHoldDecorations = true;
    // What the screen showed when remembered, XCB_NONE before; another composer's when shared.
    xcb_pixmap_t remembered = XCB_NONE;
    bool ownsRemembered = false;
    // Whether changed windows are painted again with their frames (showFramesAsTheyAre).
    bool showsFramesAsTheyAre = false;
    // Where the other top-levels lay in the remembered picture.
    std::unordered_map<std::uint32_t, QRect> rememberedFrames;
    std::unique_ptr<X11WindowContent> content;
    std::unique_ptr<X11RootBackground> background;
    std::unique_ptr<X11OwnTopLevels> ownTopLevels;

    ~State()
    {
        if (ownsRemembered) {
            xcb_free_pixmap(c(), remembered);
        }
    }

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
    state->managerSelection = x11Atom(c, "_NET_WM_CM_S" + std::to_string(screenNumber));
    state->compositing = x11CompositingManagerRuns(c, screenNumber)
                         || (state->canLeaveOut && othersRedirectByHand(c, state->root));
    state->framesHoldDecorations = !x11WindowManagerComposites(c, state->root, screenNumber);
    if (state->canLeaveOut && !state->compositing) {
        // Without it a window keeps no pixels where another covers it; the server drops the
        // redirection when this connection closes.
        const XcbReply<xcb_generic_error_t> error(
            xcb_request_check(c,
                              xcb_composite_redirect_subwindows_checked(
                                  c, state->root, XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
        state->canLeaveOut = !error;
    }
    state->reader = std::make_unique<X11ImageReader>(c);
    state->background =
        std::make_unique<X11RootBackground>(c, state->root, state->rootRect, state->rootFormat);
    state->ownTopLevels = std::make_unique<X11OwnTopLevels>(c, state->root);
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

// Under a compositing manager the screen holds what no window's own pixels do: the desktop as
// the compositing manager paints it (mutter's own wallpaper, no root pixmap), the shadows and
// translucent edges it blends, and not the windows it keeps hidden (mutter's black guard window
// under all others). So the screen itself, read while nothing of ours shows, is the picture to
// start from; windows that change later are painted again over it from their own pixels.
// Without one the server draws every window into the screen itself, and each window's own pixels
// over the wallpaper rebuild it exactly (composeOverScreen).
void X11ScreenComposer::rememberScreen(const std::vector<std::uint32_t> &leftOut)
{
    State &state = *m_state;
    if (!state.canLeaveOut || !state.compositing || state.remembered != XCB_NONE) {
        return;
    }
    xcb_connection_t *c = state.c();
    X11ScreenSettle settle(c, *state.reader, state.root, state.rootRect.bottomRight());
    const X11TransparentWindows hidden(c, state.root, leftOut);
    settle.wait();
    watchChanges();
    state.watch->trackWindows();
    if (const auto layers =
            x11LayersWithin(c, state.root, state.rootRect, leftOut, *state.ownTopLevels)) {
        state.watch->watch(watched(layers->others));
        for (const X11Layer &layer : layers->others) {
            state.rememberedFrames[layer.window] = layer.frame;
        }
    }
    state.remembered = xcb_generate_id(c);
    state.ownsRemembered = true;
    const QSize size = state.rootRect.size();
    xcb_create_pixmap(c,
                      state.rootDepth,
                      state.remembered,
                      state.root,
                      uint16_t(size.width()),
                      uint16_t(size.height()));
    const xcb_gcontext_t pen = xcb_generate_id(c);
    const std::array<uint32_t, 2> values{XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS, 0};
    xcb_create_gc(
        c, pen, state.remembered, XCB_GC_SUBWINDOW_MODE | XCB_GC_GRAPHICS_EXPOSURES, values.data());
    xcb_copy_area(c,
                  state.root,
                  state.remembered,
                  pen,
                  0,
                  0,
                  0,
                  0,
                  uint16_t(size.width()),
                  uint16_t(size.height()));
    xcb_free_gc(c, pen);
    // Our windows show again once the copy is made: the server takes requests in order.
}

int X11ScreenComposer::socket() const
{
    return xcb_get_file_descriptor(m_state->c());
}

void X11ScreenComposer::takeReports()
{
    m_state->takeQueuedEvents();
    // Emptied damage reports again only once the server hears of it.
    xcb_flush(m_state->c());
}

void X11ScreenComposer::shareRememberedScreen(X11ScreenComposer &from)
{
    State &source = *from.m_state;
    if (source.remembered == XCB_NONE || !m_state->canLeaveOut) {
        return;
    }
    m_state->remembered = source.remembered;
    m_state->rememberedFrames = source.rememberedFrames;
    watchChanges();
    source.takeQueuedEvents();
    m_state->watch->trackWindows(source.watch->changedWindows());
}

void X11ScreenComposer::showFramesAsTheyAre()
{
    m_state->showsFramesAsTheyAre = true;
}

tl::expected<QImage, CaptureError>
X11ScreenComposer::compose(const QRect &area, const std::vector<std::uint32_t> &leftOut)
{
    if (!m_state->canLeaveOut) {
        return m_state->reader->read(m_state->root, area);
    }
    if (m_state->remembered != XCB_NONE) {
        return composeOverRemembered(area, leftOut);
    }
    return composeOverScreen(area, leftOut);
}

tl::expected<QImage, CaptureError>
X11ScreenComposer::composeOverRemembered(const QRect &area,
                                         const std::vector<std::uint32_t> &leftOut)
{
    State &state = *m_state;
    xcb_connection_t *c = state.c();
    // Every window, not only those now in the area: one that moved away still shows there.
    auto layers = x11LayersWithin(c, state.root, state.rootRect, leftOut, *state.ownTopLevels);
    if (!layers) {
        return tl::unexpected(platformError("The X server did not list its windows."));
    }
    std::vector<X11Layer> within;
    std::copy_if(layers->others.begin(),
                 layers->others.end(),
                 std::back_inserter(within),
                 [&area](const X11Layer &layer) { return layer.frame.intersects(area); });
    state.watch->watch(watched(within));
    state.takeQueuedEvents();
    // Shapes matter only where a window is painted again, as on few of a stream's frames.
    if (std::any_of(within.begin(), within.end(), [&state](const X11Layer &layer) {
            return state.watch->hasChanged(layer.window);
        })) {
        x11FindShapes(c, layers->others);
    }
    X11RenderCanvas canvas(c, state.rootDepth, state.root, state.rootFormat, area);
    const xcb_render_picture_t remembered = xcb_generate_id(c);
    xcb_render_create_picture(c, remembered, state.remembered, state.rootFormat, 0, nullptr);
    canvas.copy(remembered, area);
    xcb_render_free_picture(c, remembered);
    repaintChangedContents(canvas, layers->others);
    auto image = state.reader->read(canvas.pixmap(), QRect(QPoint(0, 0), area.size()));
    state.takeQueuedEvents();
    return image;
}

// A compositing manager may draw a frame's decoration itself (KWin's title bars) or leave parts
// of a frame unpainted (mutter's invisible borders), so a frame's own pixels are not always what
// the screen showed. A window that changed in place since the screen was remembered is therefore
// painted again only where its program draws, keeping its decoration as the screen showed it;
// in a live picture, with its decoration where its frame's own pixels hold that (openbox's title
// bar turning grey as the window loses the keyboard).
// A window new there is painted with the decoration its window manager declares where its own
// pixels hold that decoration, and is otherwise left out, as the screen was when remembered:
// without its title bar it would be a window the screen never showed. A moved window stays
// whole where the screen showed it, for no window's pixels hold what its old place would reveal
// (the desktop mutter paints, the decorations of the windows below). Each is painted only where
// its shape shows it and no other window lies above it as the picture shows them.
void X11ScreenComposer::repaintChangedContents(X11RenderCanvas &canvas,
                                               const std::vector<X11Layer> &others)
{
    State &state = *m_state;
    if (!state.content) {
        state.content = std::make_unique<X11WindowContent>(state.c(), state.framesHoldDecorations);
    }
    QRegion above;
    for (auto layer = others.rbegin(); layer != others.rend(); ++layer) {
        const auto remembered = state.rememberedFrames.find(layer->window);
        const bool known = remembered != state.rememberedFrames.end();
        if (known && remembered->second != layer->frame) {
            above += remembered->second;
            continue;
        }
        const X11PictureFormat format = state.formatFor(layer->visual);
        if (format.id != XCB_NONE && layer->frame.intersects(canvas.area())
            && state.watch->hasChanged(layer->window)) {
            const X11WindowContent::Parts parts = state.content->of(layer->window, layer->frame);
            if (!known && !parts.holdsDecoration) {
                continue;
            }
            const bool withFrame = parts.holdsDecoration && (!known || state.showsFramesAsTheyAre);
            const QRect painted = withFrame ? parts.decorated : parts.content;
            const QRegion drawn = QRegion(painted) & parts.shown & layer->shown;
            canvas.paintWindow(format, *layer, drawn - above);
        }
        above += layer->shown;
    }
}

tl::expected<QImage, CaptureError>
X11ScreenComposer::composeOverScreen(const QRect &area, const std::vector<std::uint32_t> &leftOut)
{
    State &state = *m_state;
    xcb_connection_t *c = state.c();
    // Asked beside the listing's own requests, so a manager started since costs no round trip.
    const xcb_get_selection_owner_cookie_t manager =
        xcb_get_selection_owner(c, state.managerSelection);
    auto layers = x11LayersWithin(c, state.root, area, leftOut, *state.ownTopLevels);
    const XcbReply<xcb_get_selection_owner_reply_t> managerOwner(
        xcb_get_selection_owner_reply(c, manager, nullptr));
    if (!layers) {
        return tl::unexpected(platformError("The X server did not list its windows."));
    }
    if ((managerOwner && managerOwner->owner != XCB_NONE)
        || (!layers->ours.empty() && !state.background->isAvailable()
            && othersRedirectByHand(c, state.root))) {
        // A compositing manager started since: the screen as it shows it is the picture to
        // start from, for the server keeps no background of its own for our windows' place.
        state.compositing = true;
        rememberScreen(leftOut);
        return composeOverRemembered(area, leftOut);
    }
    x11FindShapes(c, layers->others);
    if (state.watch) {
        // Before the read, so whatever changes after it is reported.
        state.watch->watch(watched(layers->others));
    }
    X11RenderCanvas canvas(c, state.rootDepth, state.root, state.rootFormat, area);
    // The screen as it is shows the desktop where no window lies; our windows are then covered
    // with the root's background and every other window painted again on top.
    const xcb_render_picture_t screen = xcb_generate_id(c);
    const uint32_t inferiors = XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS;
    xcb_render_create_picture(
        c, screen, state.root, state.rootFormat, XCB_RENDER_CP_SUBWINDOW_MODE, &inferiors);
    canvas.copy(screen, area);
    xcb_render_free_picture(c, screen);
    // Our windows go first, so that other windows above or below them fill their place again.
    for (const QRect &part : layers->ours) {
        state.background->paint(canvas, part);
    }
    canvas.paintWindows(state.formats, layers->others);
    auto image = state.reader->read(canvas.pixmap(), QRect(QPoint(0, 0), area.size()));
    state.takeQueuedEvents();
    return image;
}

} // namespace zentrel
