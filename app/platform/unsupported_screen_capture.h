#pragma once

#include "platform/screen_capture.h"

namespace zentrel {

// Where the desktop offers no capture Zentrel can use: every request fails with the reason.
class UnsupportedScreenCapture final : public ScreenCapture
{
public:
    explicit UnsupportedScreenCapture(CaptureError reason);

    void rememberScreen(const QRect &screenGeometry, const std::vector<WId> &ownWindows) override;
    tl::expected<QImage, CaptureError> captureStill(const QRect &screenGeometry,
                                                    const std::vector<WId> &ownWindows) override;
    tl::expected<std::unique_ptr<ScreenCaptureStream>, CaptureError>
    startStream(const QRect &screenGeometry,
                const QRect &region,
                const std::vector<WId> &ownWindows,
                FrameHandler onFrame) override;

private:
    CaptureError m_reason;
};

} // namespace zentrel
