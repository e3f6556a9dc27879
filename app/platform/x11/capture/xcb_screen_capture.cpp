#include "platform/x11/capture/xcb_screen_capture.h"

#include "platform/x11/capture/x11_screen_composer.h"
#include "platform/x11/capture/xcb_screen_capture_stream.h"
#include "platform/x11/qt_x11_connection.h"
#include "platform/x11/x11_monitors.h"
#include "platform/x11/x11_window_tree.h"

#include <QScreen>

#include <xcb/xcb.h>

#include <optional>

namespace zentrel {
namespace {

// The Qt screen with that geometry, placed in the X server's pixels.
std::optional<ScreenArea> screenArea(const QRect &geometry, const QRect &rootRect)
{
    const auto screen = x11ScreenWithPixels(geometry);
    if (!screen || !rootRect.contains(screen->second)) {
        return std::nullopt;
    }
    return ScreenArea{geometry, screen->second, screen->first->devicePixelRatio()};
}

// Qt sends the requests of its own connection when it gets round to it: the windows of a run
// that just closed must be unmapped before the screen is read on another connection.
void finishQtRequests()
{
    if (xcb_connection_t *connection = qtX11Connection()) {
        x11RoundTrip(connection);
    }
}

} // namespace

tl::expected<std::unique_ptr<XcbScreenCapture>, CaptureError>
XcbScreenCapture::create(const QByteArray &display)
{
    auto composer = X11ScreenComposer::open(display);
    if (!composer) {
        return tl::unexpected(composer.error());
    }
    return std::unique_ptr<XcbScreenCapture>(new XcbScreenCapture(display, std::move(*composer)));
}

XcbScreenCapture::XcbScreenCapture(QByteArray display, std::unique_ptr<X11ScreenComposer> composer)
    : m_display(std::move(display))
    , m_composer(std::move(composer))
{}

XcbScreenCapture::~XcbScreenCapture() = default;

void XcbScreenCapture::rememberScreen(const QRect &screenGeometry,
                                      const std::vector<WId> &ownWindows)
{
    if (m_reports || !screenArea(screenGeometry, m_composer->rootRect())) {
        return;
    }
    finishQtRequests();
    m_composer->rememberScreen({ownWindows.begin(), ownWindows.end()});
    m_reports = std::make_unique<QSocketNotifier>(m_composer->socket(), QSocketNotifier::Read);
    QObject::connect(m_reports.get(), &QSocketNotifier::activated, m_reports.get(), [this] {
        m_composer->takeReports();
    });
}

tl::expected<QImage, CaptureError>
XcbScreenCapture::captureStill(const QRect &screenGeometry, const std::vector<WId> &ownWindows)
{
    const auto screen = screenArea(screenGeometry, m_composer->rootRect());
    if (!screen) {
        return tl::unexpected(CaptureError{});
    }
    rememberScreen(screenGeometry, ownWindows);
    // Without Composite the root is read as it is; the caller has hidden its windows then.
    auto image = m_composer->compose(screen->pixels, {ownWindows.begin(), ownWindows.end()});
    if (image) {
        image->setDevicePixelRatio(screen->pixelRatio);
    }
    return image;
}

tl::expected<std::unique_ptr<ScreenCaptureStream>, CaptureError>
XcbScreenCapture::startStream(const QRect &screenGeometry,
                              const QRect &region,
                              const std::vector<WId> &ownWindows,
                              FrameHandler onFrame)
{
    const auto screen = screenArea(screenGeometry, m_composer->rootRect());
    if (!screen) {
        return tl::unexpected(CaptureError{});
    }
    rememberScreen(screenGeometry, ownWindows);
    auto composer = X11ScreenComposer::open(m_display);
    if (!composer) {
        return tl::unexpected(composer.error());
    }
    (*composer)->shareRememberedScreen(*m_composer);
    (*composer)->showFramesAsTheyAre();
    if (!(*composer)->canLeaveOut()) {
        return tl::unexpected(
            CaptureError{CaptureError::Kind::Platform,
                         QStringLiteral("The X server offers no Composite and Render extensions, "
                                        "without which Zentrel's own windows would show.")});
    }
    return std::make_unique<XcbScreenCaptureStream>(
        std::move(*composer), *screen, region, ownWindows, std::move(onFrame));
}

} // namespace zentrel
