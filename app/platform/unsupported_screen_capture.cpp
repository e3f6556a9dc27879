#include "platform/unsupported_screen_capture.h"

namespace zentrel {

UnsupportedScreenCapture::UnsupportedScreenCapture(CaptureError reason)
    : m_reason(std::move(reason))
{}

void UnsupportedScreenCapture::rememberScreen(const QRect &, const std::vector<WId> &)
{}

tl::expected<QImage, CaptureError> UnsupportedScreenCapture::captureStill(const QRect &,
                                                                          const std::vector<WId> &)
{
    return tl::unexpected(m_reason);
}

tl::expected<std::unique_ptr<ScreenCaptureStream>, CaptureError>
UnsupportedScreenCapture::startStream(const QRect &,
                                      const QRect &,
                                      const std::vector<WId> &,
                                      FrameHandler)
{
    return tl::unexpected(m_reason);
}

} // namespace zentrel
