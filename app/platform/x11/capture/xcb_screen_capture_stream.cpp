#include "platform/x11/capture/xcb_screen_capture_stream.h"

#include "platform/x11/capture/x11_screen_composer.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

namespace zentrel {
namespace {

constexpr std::chrono::microseconds frameInterval(16667);

} // namespace

QRect ScreenArea::pixelsOf(const QRect &part) const
{
    const QRect onScreen = part & geometry;
    if (onScreen.isEmpty()) {
        return {};
    }
    // Qt keeps a screen's top-left corner in device pixels and scales only what lies beyond it.
    const QRectF scaled(QPointF(pixels.topLeft())
                            + QPointF(onScreen.topLeft() - geometry.topLeft()) * pixelRatio,
                        QSizeF(onScreen.size()) * pixelRatio);
    return scaled.toAlignedRect() & pixels;
}

XcbScreenCaptureStream::XcbScreenCaptureStream(std::unique_ptr<X11ScreenComposer> composer,
                                               const ScreenArea &screen,
                                               const QRect &region,
                                               const std::vector<WId> &ownWindows,
                                               ScreenCapture::FrameHandler onFrame)
    : m_composer(std::move(composer))
    , m_screen(screen)
    , m_onFrame(std::move(onFrame))
    , m_region(region)
    , m_ownWindows(ownWindows.begin(), ownWindows.end())
{
    m_composer->useSharedMemory();
    m_worker = std::thread([this] { run(); });
}

XcbScreenCaptureStream::~XcbScreenCaptureStream()
{
    stop();
}

void XcbScreenCaptureStream::setRegion(const QRect &region)
{
    const std::lock_guard lock(m_mutex);
    m_region = region;
}

void XcbScreenCaptureStream::setOwnWindows(const std::vector<WId> &ownWindows)
{
    const std::lock_guard lock(m_mutex);
    m_ownWindows.assign(ownWindows.begin(), ownWindows.end());
}

void XcbScreenCaptureStream::stop()
{
    if (m_stopped.exchange(true)) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void XcbScreenCaptureStream::run()
{
    m_composer->watchChanges();
    // What the last frame showed; a frame that would show the same again is not made.
    QRect shownArea;
    std::vector<std::uint32_t> shownLeftOut;
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        const QRect area = m_region.isEmpty() ? m_screen.pixels : m_screen.pixelsOf(m_region);
        if (!m_frameWaiting && !area.isEmpty()) {
            const std::vector<std::uint32_t> ownWindows = m_ownWindows;
            lock.unlock();
            const bool changed = m_composer->hasChangedWithin(area);
            if (changed || area != shownArea || ownWindows != shownLeftOut) {
                // A failed read (the screen reconfigured meanwhile) skips this frame only.
                if (auto frame = m_composer->compose(area, ownWindows)) {
                    shownArea = area;
                    shownLeftOut = ownWindows;
                    deliverLater(std::move(*frame), area);
                }
            }
            lock.lock();
        }
        next = std::max(next + frameInterval, std::chrono::steady_clock::now());
        m_wake.wait_until(lock, next, [this] { return m_stopping; });
    }
}

void XcbScreenCaptureStream::deliverLater(QImage frame, const QRect &area)
{
    frame.setDevicePixelRatio(m_screen.pixelRatio);
    frame.setOffset(area.topLeft() - m_screen.pixels.topLeft());
    m_frameWaiting = true;
    QMetaObject::invokeMethod(
        &m_receiver, [this, image = std::move(frame)] { deliver(image); }, Qt::QueuedConnection);
}

void XcbScreenCaptureStream::deliver(const QImage &frame)
{
    if (m_stopped) {
        return;
    }
    m_frameWaiting = false;
    // Last: onFrame may stop or even destroy this stream.
    m_onFrame(frame);
}

} // namespace zentrel
