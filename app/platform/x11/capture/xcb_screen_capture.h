#pragma once

#include "platform/screen_capture.h"

#include <QByteArray>
#include <QSocketNotifier>

#include <memory>

namespace zentrel {

class X11ScreenComposer;

// Captures through the X server: stills on a connection of its own on the main thread, each
// stream on one more connection owned by its worker thread, so Qt's connection stays free.
class XcbScreenCapture final : public ScreenCapture
{
public:
    // display as xcb_connect takes it; empty for $DISPLAY.
    static tl::expected<std::unique_ptr<XcbScreenCapture>, CaptureError>
    create(const QByteArray &display);
    ~XcbScreenCapture() override;

    void rememberScreen(const QRect &screenGeometry, const std::vector<WId> &ownWindows) override;
    tl::expected<QImage, CaptureError> captureStill(const QRect &screenGeometry,
                                                    const std::vector<WId> &ownWindows) override;
    tl::expected<std::unique_ptr<ScreenCaptureStream>, CaptureError>
    startStream(const QRect &screenGeometry,
                const QRect &region,
                const std::vector<WId> &ownWindows,
                FrameHandler onFrame) override;

private:
    XcbScreenCapture(QByteArray display, std::unique_ptr<X11ScreenComposer> composer);

    QByteArray m_display;
    // Lives as long as the service, so where no compositing manager runs the windows are
    // redirected before the first capture and have kept what our overlays cover by then.
    std::unique_ptr<X11ScreenComposer> m_composer;
    // Reads the reports of what changed since the screen was remembered as they come; set once
    // the screen is remembered.
    std::unique_ptr<QSocketNotifier> m_reports;
};

} // namespace zentrel
